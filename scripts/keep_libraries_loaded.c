/* For the sanitizer run only (preloaded by scripts/sanitize.sh): dlclose does nothing.
 * System libraries that are unloaded at exit (SDL2 under sdl12-compat, Mesa's driver) take
 * their globals with them, and LeakSanitizer then reports the blocks those globals held as
 * leaks from an unknown module, which no suppression can name. Kept loaded, what they still
 * hold at exit is reachable, and what they really leak is reported under their own names. */
int dlclose(void* handle)
{
    (void)handle;
    return 0;
}

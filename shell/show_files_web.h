// The show's files on a page: fetched from the server's data/ folder into the program's own file
// system under the paths the show opens, and the pictures checked and decoded by the browser.
#pragma once

// Fetches every picture of the bank (and the soundtrack, when asked), then has the pictures
// decoded; calls `ready` once all of that is over. A file the server lacks is simply not there.
void fetch_show_files(bool with_soundtrack, void (*ready)());

// The show's page: loads the show (or, with ?still=T&spectrum=V6,V7, the still program), shows the
// start screen until a click starts the show (sound may start only after a gesture), asks for
// fullscreen, and shows the end screen when the show stops. ?autostart skips the start screen
// where the browser lets sound start without a gesture. The body's data-state says where it is.
(function () {
  'use strict';
  var query = new URLSearchParams(location.search);
  var still = query.get('still');
  var stage = document.getElementById('stage');
  var screens = ['loading', 'start', 'end', 'unable'];

  function show_screen(name) {
    screens.forEach(function (id) { document.getElementById(id).hidden = id !== name; });
  }

  function set_state(state) {
    document.body.dataset.state = state;
  }

  // The show's error boxes, on the page; the console has them too, from the program's stderr.
  function show_message(caption, text) {
    var item = document.createElement('li');
    item.textContent = caption + ': ' + text;
    document.getElementById('messages').appendChild(item);
  }

  function unable(text) {
    document.getElementById('unable-text').textContent = text;
    show_screen('unable');
    set_state('unable');
  }

  function has_webgl() {
    try {
      var canvas = document.createElement('canvas');
      return !!(window.WebGLRenderingContext && canvas.getContext('webgl'));
    } catch (e) {
      return false;
    }
  }

  // A context made now runs at once only where the browser lets sound start without a gesture.
  function sound_may_start() {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return false;
    var probe = new Context();
    var running = probe.state === 'running';
    probe.close();
    return running;
  }

  function start() {
    document.getElementById('messages').textContent = '';
    show_screen(null);
    set_state('playing');
    if (stage.requestFullscreen && !document.fullscreenElement) stage.requestFullscreen().catch(function () {});
    Module._start_show();
    // the first frame's caption, for the figures of start-up
    new MutationObserver(function (changes, observer) {
      performance.mark('vellamor-first-frame');
      observer.disconnect();
    }).observe(document.querySelector('title'), {childList: true, characterData: true, subtree: true});
  }

  function ready() {
    performance.mark('vellamor-ready');
    if (query.has('autostart') && sound_may_start()) {
      start();
      return;
    }
    show_screen('start');
    set_state('start');
  }

  function ended() {
    if (document.fullscreenElement && document.exitFullscreen) document.exitFullscreen().catch(function () {});
    show_screen('end');
    set_state('ended');
  }

  if (!has_webgl()) {
    unable('This show draws with WebGL, which this browser does not offer (or has turned off).');
    return;
  }

  document.getElementById('start').addEventListener('click', start);
  document.getElementById('again').addEventListener('click', start);

  window.Module = {
    canvas: document.getElementById('canvas'),
    noImageDecoding: true,
    noAudioDecoding: true,
    print: function (text) { console.log(text); },
    printErr: function (text) { console.warn(text); },
    showMessage: show_message,
    onRuntimeInitialized: function () { performance.mark('vellamor-compiled'); },
    onShowReady: ready,
    onShowEnded: ended,
    onStillDrawn: function (png) {
      window.stillPng = png;
      set_state('still-drawn');
    },
    arguments: still === null ? [] : ['--times', still, '--spectrum', query.get('spectrum') || '0,0'],
  };
  var script = document.createElement('script');
  script.src = still === null ? 'vellamor.js' : 'vellamor-still.js';
  if (still !== null) set_state('loading-still');
  document.body.appendChild(script);
})();

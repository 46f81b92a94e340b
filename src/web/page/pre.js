// The page's side of the program, run before it starts: the show's
// parameters from the page's address, the start screen (the music may only
// start after a gesture), its standard output, log and trace on the console,
// the canvas sized to the screen's pixels, full screen, the end screen, and
// window.plovermix for whoever drives the page (tests and benchmarks):
//   frames[key]   a PNG data URL of each frame frames-at asked for
//   moments[name] performance.now() at "start", "first-frame", "playing"
//                 (loading is over) and "end"
//   done, failed  the run is over; whether it could not do what it was asked
//   contextLost   the browser took the WebGL context away
//   showTime      the live player's show time, where the way back after a
//                 lost context starts
// The console's levels: log for standard output, error for standard error,
// info for the log, debug for the trace (a message for each step's lines).
const page = (id) => document.getElementById(id);
const parameters = new URLSearchParams(location.search);
// A virtual clock (a test's, a benchmark's) starts at once, with no sound.
const onVirtualClock = parameters.has('fixed-step') || parameters.has('frames-at');

window.plovermix = {
  frames: {},
  moments: {},
  done: false,
  failed: false,
  contextLost: false,
  dataUrl(bytes) {
    let text = '';
    for (let at = 0; at < bytes.length; at += 0x8000) {
      text += String.fromCharCode.apply(null, bytes.subarray(at, at + 0x8000));
    }
    return 'data:image/png;base64,' + btoa(text);
  },
  // Lines for the viewer at the page's foot, as standard error gives them.
  notice(text) {
    const said = page('said');
    said.textContent = said.textContent ? said.textContent + '\n' + text : text;
    page('notice').hidden = false;
  },
  showTime: 0,
  finish(failed) {
    this.failed = failed;
    this.done = true;
    if (!onVirtualClock) {
      if (document.fullscreenElement) document.exitFullscreen();
      page('end').hidden = false;
      page('again').focus();
    }
  },
  // Escape leaves full screen first; the browser's own Escape may reach the page just after.
  leftFullScreenAt: -Infinity,
  escapeEndsShow() {
    return !document.fullscreenElement && performance.now() - this.leftFullScreenAt > 500;
  },
};

// "?fixed-step&frames-at=0,1000" is the program's "fixed-step", "frames-at=0,1000".
Module.arguments = Array.from(parameters, ([name, value]) => (value === '' ? name : name + '=' + value));
Module.noInitialRun = true;
Module.print = (line) => console.log(line);
Module.printErr = (line) => {
  console.error(line);
  if (line.startsWith('plovermix: ')) window.plovermix.notice(line.slice(11));
};

// The data's download, as Emscripten reports it: "Downloading data... (3/16)".
Module.setStatus = (text) => {
  const got = /\((\d+(?:\.\d+)?)\/(\d+(?:\.\d+)?)\)/.exec(text || '');
  if (got) page('progress').style.width = (100 * got[1] / got[2]) + '%';
};

// What stops the page before the show can start (a download that failed, a
// program the browser cannot run) is said on the page, with what failed.
Module.onAbort = (what) => window.plovermix.notice('The show cannot start: ' + what);
window.addEventListener('error', (event) => {
  if (!started) {
    window.plovermix.notice('The show cannot start: ' + ((event.error && event.error.message) || event.message));
  }
});

// A device that prints each whole line it is given; the log's lines begin
// with their line break, so what is left at a close is a line too. Lines
// kept for a batch wait for printBatch(): the trace writes hundreds a frame,
// too many for one console message each.
function consoleLines(print, batch) {
  const output = (byte) => {
    if (byte !== 10) {
      output.buffer.push(byte);
      return;
    }
    if (output.buffer.length > 0) {
      const line = UTF8ArrayToString(output.buffer, 0);
      batch ? batch.push(line) : print(line);
    }
    output.buffer = [];
  };
  output.buffer = [];
  return output;
}
const traceLines = [];
// After each step of the show: the trace's lines of that step, as one message.
window.plovermix.printBatch = () => {
  if (traceLines.length > 0) console.debug(traceLines.splice(0).join('\n'));
};

// The canvas holds as many pixels as it covers on screen: the picture is
// fitted into them, sharp on any screen.
function fitCanvas() {
  const canvas = page('canvas');
  const ratio = window.devicePixelRatio || 1;
  canvas.width = Math.max(1, Math.round(canvas.clientWidth * ratio));
  canvas.height = Math.max(1, Math.round(canvas.clientHeight * ratio));
}
window.addEventListener('resize', fitCanvas);
// A lost graphics context stops the show; the way back is the page again,
// started where the show was.
page('canvas').addEventListener('webglcontextlost', (event) => {
  event.preventDefault();
  window.plovermix.contextLost = true;
  console.error('plovermix: the browser took the graphics context away');
  window.plovermix.notice('The browser took the graphics away from the show.');
  page('back').hidden = false;
});
page('back').addEventListener('click', () => {
  const again = new URLSearchParams(location.search);
  again.set('start', String(window.plovermix.showTime));
  location.search = again.toString().replace(/=(&|$)/g, '$1');
});

// Full screen only inside a user event: F11, a double click, the button.
function toggleFullScreen() {
  if (document.fullscreenElement) {
    document.exitFullscreen();
  } else {
    document.documentElement.requestFullscreen().catch(() => {});
  }
}
document.addEventListener('fullscreenchange', () => {
  if (!document.fullscreenElement) window.plovermix.leftFullScreenAt = performance.now();
});
window.addEventListener('keydown', (event) => {
  if (event.code === 'F11') {
    event.preventDefault();
    toggleFullScreen();
  }
});
// A page in the background gets no animation frames: the show stands still
// there, and so must its music, which Web Audio would play on. The show
// pauses too (the program reads document.hidden); the music comes back with
// the page unless the viewer had paused it.
let suspendedInBackground = false;
document.addEventListener('visibilitychange', () => {
  const context = Module.audioContext;
  if (!context) return;
  if (document.hidden && context.state === 'running') {
    suspendedInBackground = true;
    context.suspend();
  } else if (!document.hidden && suspendedInBackground) {
    suspendedInBackground = false;
    context.resume();
  }
});
page('canvas').addEventListener('dblclick', toggleFullScreen);
page('full').addEventListener('click', toggleFullScreen);
page('again').addEventListener('click', () => location.reload());

// The show starts once its files are in and, unless on a virtual clock, the
// viewer has given the gesture the browser asks before sound: a click or a
// key. With ?autoplay it starts at once where the browser allows sound
// without one, and shows the start screen where it does not. With ?own, or
// after "Play your own copy", it waits for the viewer's files instead.
let started = false;
let ready = false;
function startShow() {
  if (started) return;
  started = true;
  page('start').hidden = true;
  page('canvas').focus();
  callMain(Module.arguments);
}
function makeSound() {
  if (onVirtualClock) return;
  if (!Module.audioContext) Module.audioContext = new AudioContext();
  Module.audioContext.resume();
}
function startOnGesture() {
  page('prompt').hidden = false;
  const go = (event) => {
    if (started || (event.type === 'keydown' && event.code === 'F11')) return;
    if (event.target === page('own') || event.target === page('files')) return;
    event.preventDefault();
    window.removeEventListener('keydown', go, true);
    page('start').removeEventListener('click', go);
    makeSound();
    startShow();
  };
  window.addEventListener('keydown', go, true);
  page('start').addEventListener('click', go);
}

// The viewer's files go into /own under their own names (a folder's files
// without their folders), and the show reads them there: nothing leaves the page.
async function playOwnFiles(files) {
  if (started || !ready || files.length === 0) return;
  started = true;
  FS.mkdir('/own');
  for (const file of files) {
    FS.writeFile('/own/' + file.name, new Uint8Array(await file.arrayBuffer()));
  }
  if (!Module.arguments.includes('own')) Module.arguments.push('own');
  page('start').hidden = true;
  callMain(Module.arguments);
}
page('own').addEventListener('click', () => {
  makeSound();
  page('files').click();
});
page('files').addEventListener('change', () => playOwnFiles(Array.from(page('files').files)));
// A dropped folder's files, however deep.
function filesOf(entry) {
  if (entry.isFile) return new Promise((resolve) => entry.file((file) => resolve([file]), () => resolve([])));
  return new Promise((resolve) => {
    const all = [];
    const reader = entry.createReader();
    const more = () => reader.readEntries(async (entries) => {
      if (entries.length === 0) return resolve(all);
      for (const child of entries) all.push(...(await filesOf(child)));
      more();
    }, () => resolve(all));
    more();
  });
}
page('start').addEventListener('dragover', (event) => event.preventDefault());
page('start').addEventListener('drop', async (event) => {
  event.preventDefault();
  makeSound();
  const entries = Array.from(event.dataTransfer.items).map((item) => item.webkitGetAsEntry()).filter(Boolean);
  const files = [];
  for (const entry of entries) files.push(...(await filesOf(entry)));
  playOwnFiles(files);
});

Module.onRuntimeInitialized = () => {
  ready = true;
  page('progress').style.width = '100%';
  if (parameters.has('own')) {
    page('own').focus();
    return;
  }
  if (onVirtualClock) {
    startShow();
    return;
  }
  Module.audioContext = new AudioContext();
  if (parameters.has('autoplay') && Module.audioContext.state === 'running') {
    startShow();
  } else {
    startOnGesture();
  }
};

// The log is opened to append, which asks for reading too: it reads as empty.
const nothingToRead = () => null;
Module.preRun = Module.preRun || [];
Module.preRun.push(() => {
  fitCanvas();
  FS.createDevice('/dev', 'plovermix-log', nothingToRead,
                  consoleLines((line) => console.info(line)));
  FS.createDevice('/dev', 'plovermix-trace', nothingToRead, consoleLines(null, traceLines));
});

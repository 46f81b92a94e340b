// The page's side of the program, run before it starts: the show's
// parameters from the page's address, its standard output, log and trace on
// the console, the canvas sized to the screen's pixels, and window.plovermix
// for whoever drives the page (tests and benchmarks):
//   frames[key]   a PNG data URL of each frame frames-at asked for
//   moments[name] performance.now() at "start", "first-frame", "playing"
//                 (loading is over) and "end"
//   done, failed  the run is over; whether it could not do what it was asked
//   contextLost   the browser took the WebGL context away
// The console's levels: log for standard output, error for standard error,
// info for the log, debug for the trace.
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
};

// "?fixed-step&frames-at=0,1000" is the program's "fixed-step", "frames-at=0,1000".
Module.arguments = Array.from(new URLSearchParams(location.search),
                              ([name, value]) => (value === '' ? name : name + '=' + value));
Module.print = (line) => console.log(line);
Module.printErr = (line) => console.error(line);

// A device that prints each whole line it is given; the log's lines begin
// with their line break, so what is left at a close is a line too.
function consoleLines(print) {
  const output = (byte) => {
    if (byte !== 10) {
      output.buffer.push(byte);
      return;
    }
    if (output.buffer.length > 0) print(UTF8ArrayToString(output.buffer, 0));
    output.buffer = [];
  };
  output.buffer = [];
  return output;
}

// The canvas holds as many pixels as it covers on screen: the picture is
// fitted into them, sharp on any screen.
function fitCanvas() {
  const canvas = document.getElementById('canvas');
  const ratio = window.devicePixelRatio || 1;
  canvas.width = Math.max(1, Math.round(canvas.clientWidth * ratio));
  canvas.height = Math.max(1, Math.round(canvas.clientHeight * ratio));
}
window.addEventListener('resize', fitCanvas);
document.getElementById('canvas').addEventListener('webglcontextlost', () => {
  window.plovermix.contextLost = true;
  console.error('plovermix: the browser took the graphics context away');
});

Module.preRun = Module.preRun || [];
// The log is opened to append, which asks for reading too: it reads as empty.
const nothingToRead = () => null;
Module.preRun.push(() => {
  fitCanvas();
  FS.createDevice('/dev', 'plovermix-log', nothingToRead,
                  consoleLines((line) => console.info(line)));
  FS.createDevice('/dev', 'plovermix-trace', nothingToRead,
                  consoleLines((line) => console.debug(line)));
});

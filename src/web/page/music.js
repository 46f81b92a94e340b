// The show's music on Web Audio, for the program's WebAudioMusic: the file
// decoded once, played by a looping buffer source over its loop length L, the
// playing position read from the audio context's clock. L is the desktop's:
// the decoded samples without the encoder's delay and padding that the file's
// gapless tag names, trimmed here where the browser's decoder keeps them.
// The page makes the audio context at the viewer's gesture (Module.audioContext).

// A LAME/Xing gapless tag: {frames, delay, padding, samplesPerFrame, rate}, or null.
function gaplessTag(bytes) {
  let at = 0;
  if (bytes[0] === 0x49 && bytes[1] === 0x44 && bytes[2] === 0x33) {  // "ID3"
    at = 10 + ((bytes[6] << 21) | (bytes[7] << 14) | (bytes[8] << 7) | bytes[9]);
  }
  while (at + 4 < bytes.length && !(bytes[at] === 0xff && (bytes[at + 1] & 0xe0) === 0xe0)) at++;
  if (at + 4 >= bytes.length) return null;
  const version = (bytes[at + 1] >> 3) & 3;  // 3: MPEG 1
  const rateIndex = (bytes[at + 2] >> 2) & 3;
  const mono = ((bytes[at + 3] >> 6) & 3) === 3;
  if (version === 1 || rateIndex === 3 || ((bytes[at + 1] >> 1) & 3) !== 1) return null;  // layer III only
  const rate = [44100, 48000, 32000][rateIndex] / (version === 3 ? 1 : version === 2 ? 2 : 4);
  const tag = at + 4 + (version === 3 ? (mono ? 17 : 32) : (mono ? 9 : 17));
  const text = String.fromCharCode(...bytes.subarray(tag, tag + 4));
  if (text !== 'Xing' && text !== 'Info') return null;
  const word = (p) => ((bytes[p] << 24) | (bytes[p + 1] << 16) | (bytes[p + 2] << 8) | bytes[p + 3]) >>> 0;
  const flags = word(tag + 4);
  let p = tag + 8;
  if (!(flags & 1)) return null;  // no frame count: no length to trim to
  const frames = word(p);
  p += 4;
  if (flags & 2) p += 4;
  if (flags & 4) p += 100;
  if (flags & 8) p += 4;
  if (p + 24 > bytes.length) return null;
  const delay = (bytes[p + 21] << 4) | (bytes[p + 22] >> 4);
  const padding = ((bytes[p + 22] & 15) << 8) | bytes[p + 23];
  return {frames, delay, padding, samplesPerFrame: version === 3 ? 1152 : 576, rate};
}

// Where the loop runs in a decoded buffer of `duration` s: {start, length} in s.
// A decoder that kept the delay and padding gave every frame's samples; the
// music then starts after the delay and the decoder's own 529 samples.
function loopOf(bytes, duration) {
  const tag = gaplessTag(bytes);
  if (!tag || tag.delay + tag.padding === 0) return {start: 0, length: duration};
  const all = tag.frames * tag.samplesPerFrame;
  const trimmed = (all - tag.delay - tag.padding) / tag.rate;
  if (Math.abs(duration - trimmed) <= Math.abs(duration - all / tag.rate)) {
    return {start: 0, length: duration};  // the browser trimmed it already
  }
  return {start: (tag.delay + 529) / tag.rate, length: trimmed};
}

// The file decoded by `context`, and its loop: a promise of {buffer, loop}.
function decodeLoop(context, bytes) {
  const copy = bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength);
  return context.decodeAudioData(copy).then((buffer) => ({buffer, loop: loopOf(bytes, buffer.duration)}));
}

Module.music = {
  state: 0,  // 0 opening, 1 ready, -1 failed
  error: '',
  buffer: null,
  loop: {start: 0, length: 0},
  source: null,
  gain: null,
  startedAt: 0,  // the context's time at which the position read `offset`
  offset: 0,

  open(path) {
    const context = Module.audioContext;
    if (!context) {
      this.fail('the page has no sound');
      return;
    }
    let bytes;
    try {
      bytes = FS.readFile(path);
    } catch (e) {
      this.fail('cannot read it');
      return;
    }
    decodeLoop(context, bytes).then(({buffer, loop}) => {
      this.buffer = buffer;
      this.loop = loop;
      this.gain = context.createGain();
      this.gain.connect(context.destination);
      this.state = 1;
    }, (e) => this.fail('the browser cannot decode it: ' + (e && e.message ? e.message : e)));
  },
  fail(why) {
    this.error = why;
    this.state = -1;
    window.plovermix.notice('The music cannot be played (' + why + '): the show runs silent.');
  },
  // Plays on from `ms` into the loop.
  startAt(ms) {
    if (this.source) {
      this.source.onended = null;
      this.source.stop();
    }
    const context = Module.audioContext;
    this.source = context.createBufferSource();
    this.source.buffer = this.buffer;
    this.source.loop = true;
    this.source.loopStart = this.loop.start;
    this.source.loopEnd = this.loop.start + this.loop.length;
    this.source.connect(this.gain);
    this.offset = (ms / 1000) % this.loop.length;
    this.startedAt = context.currentTime;
    this.source.start(0, this.loop.start + this.offset);
  },
  position() {
    const elapsed = Module.audioContext.currentTime - this.startedAt;
    return ((this.offset + elapsed) % this.loop.length) * 1000;
  },
  // Suspending the context stops its clock with the sound: the position stands still.
  pause() {
    Module.audioContext.suspend();
  },
  resume() {
    Module.audioContext.resume();
  },
  mute() {
    if (this.gain) this.gain.gain.value = 0;
  },
  // How long a position takes to be heard: the context's own buffer and the output's.
  latency() {
    const context = Module.audioContext;
    return ((context.baseLatency || 0) + (context.outputLatency || 0)) * 1000;
  },
  close() {
    if (this.source) this.source.stop();
    this.source = null;
  },
};
// For the browser tier: the loop a file gets, and the trimming on its own.
Module.decodeLoop = decodeLoop;
Module.loopOf = loopOf;

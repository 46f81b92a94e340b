#pragma once
// Where the music clock reads its playing position: the platform's sound
// playing the file, or a virtual clock that tests and frame capture drive.

class PositionSource {
 public:
  virtual ~PositionSource() = default;
  // False while the music is still being opened (a browser decodes it
  // asynchronously): the show waits for it before it starts the music.
  virtual bool ready() const { return true; }
  // Starts the stream looping; false when nothing can be started at all.
  virtual bool play() = 0;
  // The stream's own playing position in ms; it goes back towards 0 when the
  // stream starts over.
  virtual int position_ms() = 0;
  virtual void close() = 0;
  // The viewer's pause: the position stands still until resume().
  virtual void pause() {}
  virtual void resume() {}
  // Plays on at volume 0; the position still runs.
  virtual void mute() {}
  // How long a position takes to be heard: the sound device's buffer, in ms.
  virtual double latency_ms() const { return 0.0; }
  // Plays on from `position_ms` of the file (a seek).
  virtual void seek(int /*position_ms*/) {}
  // The file's decoded length, where one pass of the loop ends; 0 when unknown.
  virtual double length_ms() const { return 0.0; }
};

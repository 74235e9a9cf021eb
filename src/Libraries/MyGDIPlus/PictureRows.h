// A picture shared between the thread that decodes it and the threads that read it meanwhile:
// the decoder makes its rows final from the top down and tells how far it got.
#pragma once

#include <QImage>
#include <atomic>
#include <condition_variable>
#include <mutex>

class TPictureRows {
 public:
  // Decoder: `image` has its final size and format; its rows are written from now on through
  // its bits (never through calls that could copy it) and made final with Publish.
  void Begin(const QImage& image, double scale);
  // Decoder: the top `rows` rows are final.
  void Publish(int rows);
  bool HasBegun();
  // Decoder: nothing more comes, whether the picture is complete or not.
  void End();

  // Reader: waits for Begin; false when decoding ended without it.
  bool WaitForBegin();
  // Reader: waits until the top `rows` rows are final; false when decoding ended before.
  bool WaitForRows(int rows);
  // After WaitForBegin returned true: the picture, which this object lets go of, so that once
  // the decoder has too, converting it can happen in place rather than in a copy.
  QImage TakeImage();
  double Scale() const { return PictureScale; }

 private:
  std::mutex Mutex;
  std::condition_variable Changed;
  QImage Picture;
  double PictureScale = 1.0;
  bool Begun = false;
  bool Ended = false;
  std::atomic<int> Final{0};  // read without the lock by readers that need no wait
};

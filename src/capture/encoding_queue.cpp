#include "capture/encoding_queue.h"

#include <utility>

EncodingQueue::EncodingQueue(std::unique_ptr<FrameSink> file, std::size_t depth)
    : file_(std::move(file)), depth_(depth), worker_([this] { work(); }) {}

EncodingQueue::~EncodingQueue() {
  std::string error;
  finish(error);
}

bool EncodingQueue::write_frame(std::vector<std::uint8_t>& rgba, int width, int height) {
  Job job;
  job.width = width;
  job.height = height;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return pictures_waiting_ < depth_ || failed_; });
    if (failed_) {
      return false;
    }
    ++pictures_waiting_;
    job.rgba.swap(rgba);
    if (!spare_.empty()) {
      rgba.swap(spare_.back());
      spare_.pop_back();
    }
  }
  return push(std::move(job));
}

bool EncodingQueue::write_audio(const float* interleaved_stereo, long frames) {
  Job job;
  job.sound.assign(interleaved_stereo, interleaved_stereo + 2 * frames);
  return push(std::move(job));
}

bool EncodingQueue::push(Job job) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (failed_) {
      return false;
    }
    jobs_.push_back(std::move(job));
  }
  changed_.notify_all();
  return true;
}

void EncodingQueue::work() {
  while (true) {
    Job job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] { return !jobs_.empty() || closing_; });
      if (jobs_.empty()) {
        return;
      }
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    const bool picture = !job.rgba.empty();
    const bool ok =
        picture ? file_->write_frame(job.rgba.data(), job.width, job.height)
                : file_->write_audio(job.sound.data(), static_cast<long>(job.sound.size() / 2));
    if (picture) {
      frames_written_ = file_->frames_written();
    }
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (picture) {
        --pictures_waiting_;
        spare_.push_back(std::move(job.rgba));
      }
      if (!ok && !failed_) {
        failed_ = true;
        error_ = file_->error();
        jobs_.clear();
      }
    }
    changed_.notify_all();
  }
}

bool EncodingQueue::finish(std::string& error) {
  if (worker_.joinable()) {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      closing_ = true;
    }
    changed_.notify_all();
    worker_.join();
  }
  return file_->finish(error);
}

std::string EncodingQueue::error() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return error_;
}

#include "backup/servicestep.h"

#include <exception>

StepWorker::StepWorker(std::function<void()> wake) : wake_(std::move(wake)) {}

StepWorker::~StepWorker() {
  if (thread_.joinable()) thread_.join();
}

void StepWorker::start(Body body) {
  thread_ = std::thread([this, body = std::move(body)] {
    try {
      body(*this);
    } catch (const std::exception& error) {
      push(StepEvent::Kind::Failed, QString::fromUtf8(error.what()));
    } catch (...) {
      push(StepEvent::Kind::Failed, QStringLiteral("Unknown error"));
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    ended_.notify_all();
    if (wake_) wake_();
  });
}

bool StepWorker::take(std::vector<StepEvent>& out) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (out.empty())
    out.swap(pending_);
  else
    out.insert(out.end(), std::make_move_iterator(pending_.begin()), std::make_move_iterator(pending_.end()));
  pending_.clear();
  return done_;
}

void StepWorker::wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  ended_.wait(lock, [this] { return done_; });
}

void StepWorker::push(StepEvent::Kind kind, const QString& text) {
  // Only the start and end lines show a time; reading the clock (and the
  // time zone) for every server line would slow the reader for nothing.
  const QTime now = kind == StepEvent::Kind::Line ? QTime() : QTime::currentTime();
  std::lock_guard<std::mutex> lock(mutex_);
  pending_.push_back({kind, text, now});
}

void StepWorker::attached() { push(StepEvent::Kind::Attached); }
void StepWorker::started() { push(StepEvent::Kind::Started); }
void StepWorker::line(const QString& text) { push(StepEvent::Kind::Line, text); }
void StepWorker::finished() { push(StepEvent::Kind::Finished); }

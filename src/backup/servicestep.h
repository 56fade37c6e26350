#pragma once

#include <QString>
#include <QTime>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

/// What a database step reports while it works, in order.
struct StepEvent {
  enum class Kind { Attached, Started, Line, Finished, Failed };
  Kind kind;
  QString text;  ///< the output line, or the error text of a failure
  QTime time;    ///< when it happened; not kept for lines
};

/// The calls a step body makes as it goes.
class StepSink {
 public:
  virtual ~StepSink() = default;
  virtual void attached() = 0;
  virtual void started() = 0;
  virtual void line(const QString& text) = 0;
  virtual void finished() = 0;
};

/// Runs one database step on a thread of its own, so that nothing on the
/// window's side slows the reading of the server's output: the server
/// stalls as soon as its small output buffer is full.
class StepWorker : private StepSink {
 public:
  using Body = std::function<void(StepSink&)>;

  /// wake is called on the worker thread once the body has ended.
  explicit StepWorker(std::function<void()> wake = {});
  ~StepWorker() override;
  StepWorker(const StepWorker&) = delete;
  StepWorker& operator=(const StepWorker&) = delete;

  void start(Body body);
  /// Appends the pending events to out; true once the body has ended and
  /// every event has been taken.
  bool take(std::vector<StepEvent>& out);
  /// Waits until the body has ended.
  void wait();

 private:
  void attached() override;
  void started() override;
  void line(const QString& text) override;
  void finished() override;
  void push(StepEvent::Kind kind, const QString& text = {});

  std::function<void()> wake_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable ended_;
  std::vector<StepEvent> pending_;
  bool done_ = false;
};

// A conversion job started from the window. It runs on a thread of its own, so the window
// keeps repainting; every event and question is handed to the window's thread, in order, and
// the job waits where the user must answer or read a message first.
#pragma once

#include <QObject>

#include <memory>
#include <thread>

#include "conversion/conversion_job.h"
#include "conversion/job_events.h"
#include "images/image_codec.h"

namespace vellumox {

class WindowJob : public QObject {
  Q_OBJECT

 public:
  // events and questions are the window's, called on the window's thread only.
  WindowJob(ImageCodec& codec, JobRequest request, PictureOptions options, JobEvents& events,
            JobQuestions& questions, QObject* parent = nullptr);
  ~WindowJob() override;

  void Start();
  bool Running() const { return running_; }
  const JobReport& Report() const { return report_; }

 signals:
  // On the window's thread, after the last event and question.
  void finished();

 private:
  class Relay;

  ImageCodec& codec_;
  JobRequest request_;
  PictureOptions options_;
  std::unique_ptr<Relay> relay_;
  std::thread thread_;
  JobReport report_;
  bool running_ = false;
};

}  // namespace vellumox

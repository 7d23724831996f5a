#include "converter_ui/window_job.h"

#include <QMetaObject>

#include <new>

namespace vellumox {

// Runs on the job's thread; passes every call on to the window's thread. Messages and
// questions wait for the window; the rest only keeps its place in the queue.
class WindowJob::Relay : public JobEvents, public JobQuestions {
 public:
  Relay(QObject* window_side, JobEvents& events, JobQuestions& questions)
      : context_(window_side), events_(events), questions_(questions) {}

  void FileStarted(const std::string& input) override {
    Post([this, input] { events_.FileStarted(input); });
  }
  void OutputChosen(const std::string& output) override {
    Post([this, output] { events_.OutputChosen(output); });
  }
  void PictureConverted(const std::string& picture) override {
    Post([this, picture] { events_.PictureConverted(picture); });
  }
  void PictureComposed(const std::string& picture) override {
    Post([this, picture] { events_.PictureComposed(picture); });
  }
  void PictureLeftOut(const std::string& picture, const std::string& reason) override {
    Post([this, picture, reason] { events_.PictureLeftOut(picture, reason); });
  }
  void Progress(const JobProgress& progress) override {
    Post([this, progress] { events_.Progress(progress); });
  }
  void Warning(const std::string& text) override {
    Post([this, text] { events_.Warning(text); });
  }
  void FileFailed(const FileFailure& failure) override {
    Wait([&] { events_.FileFailed(failure); });
  }
  void JobFinished(const JobReport& report) override {
    Wait([&] { events_.JobFinished(report); });
  }
  bool AskToOpenPdf(const std::string& pdf) override {
    bool yes = false;
    Wait([&] { yes = questions_.AskToOpenPdf(pdf); });
    return yes;
  }
  bool AskToOpenFolder(const std::string& folder) override {
    bool yes = false;
    Wait([&] { yes = questions_.AskToOpenFolder(folder); });
    return yes;
  }
  void OpenPdf(const std::string& pdf) override {
    Post([this, pdf] { questions_.OpenPdf(pdf); });
  }
  void OpenFolder(const std::string& folder) override {
    Post([this, folder] { questions_.OpenFolder(folder); });
  }

 private:
  template <class F>
  void Post(F&& call) {
    QMetaObject::invokeMethod(context_, std::forward<F>(call), Qt::QueuedConnection);
  }
  template <class F>
  void Wait(F&& call) {
    QMetaObject::invokeMethod(context_, std::forward<F>(call), Qt::BlockingQueuedConnection);
  }

  QObject* context_;
  JobEvents& events_;
  JobQuestions& questions_;
};

WindowJob::WindowJob(ImageCodec& codec, JobRequest request, PictureOptions options,
                     JobEvents& events, JobQuestions& questions, QObject* parent)
    : QObject(parent),
      codec_(codec),
      request_(std::move(request)),
      options_(std::move(options)),
      relay_(std::make_unique<Relay>(this, events, questions)) {}

WindowJob::~WindowJob() {
  if (thread_.joinable()) thread_.join();
}

void WindowJob::Start() {
  running_ = true;
  thread_ = std::thread([this] {
    JobReport report;
    // Nothing may escape the job's thread: what it did not expect ends the job as a failure.
    try {
      JobConverter converter(codec_, options_);
      report = RunConversionJob(request_, converter, *relay_, *relay_);
    } catch (const std::exception& e) {
      ++report.failures;
      relay_->FileFailed(
          FileFailure{request_.input_text, FailureKind::kError,
                      dynamic_cast<const std::bad_alloc*>(&e) ? "Out of memory." : e.what()});
    }
    QMetaObject::invokeMethod(
        this,
        [this, report] {
          if (thread_.joinable()) thread_.join();
          report_ = report;
          running_ = false;
          emit finished();
        },
        Qt::QueuedConnection);
  });
}

}  // namespace vellumox

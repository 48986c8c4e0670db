#include "tavmo/batch_run.h"

namespace qm::tavmo {

namespace {

class StreamProgress : public ProgressObserver {
  public:
    explicit StreamProgress(std::ostream& err) : err_(err) {}

    void FileStarted(const UploadItem& item) override {
        err_ << "送信中: " << item.name << " (" << item.size << " バイト)\n";
        err_.flush();
    }

    void BytesSent(std::uint64_t done, std::uint64_t total) override {
        const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
        // Every tenth step is enough for a log and keeps the output short.
        if (percent / 10 == lastTenth_) return;
        lastTenth_ = percent / 10;
        err_ << "  " << percent << "%\n";
        err_.flush();
    }

  private:
    std::ostream& err_;
    int lastTenth_ = -1;
};

}  // namespace

std::string FailureReport(const Uploader& uploader) {
    std::string report;
    int untried = 0;
    for (const auto& item : uploader.items()) {
        switch (item.state) {
            case UploadItem::State::Sent:
                break;
            case UploadItem::State::Pending:
                ++untried;
                break;
            case UploadItem::State::Failed:
            case UploadItem::State::Missing:
                if (!report.empty()) report += "\n\n";
                report += item.problem;
                break;
        }
    }
    if (untried > 0) {
        if (!report.empty()) report += "\n\n";
        report += "残りの " + std::to_string(untried) + " 件はまだ送っていません。";
    }
    return report;
}

int RunBatch(Uploader& uploader, std::ostream& err) {
    StreamProgress progress(err);
    if (uploader.SendPending(progress)) {
        err << "すべてのファイルを送りました。\n";
        return kExitSent;
    }
    err << FailureReport(uploader) << "\n";
    return kExitNotAllSent;
}

}  // namespace qm::tavmo

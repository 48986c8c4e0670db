// The pattern of the link text that each new diary page gets on the log
// page; one pattern (LOGSETTING/TITLE of the system settings) for all sets.
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;

namespace qm {

struct ActiveConfig;
class Interaction;

class LogFormatDialog : public QDialog {
    Q_OBJECT

  public:
    // A title written is the config's from then on, as the next load would read it.
    LogFormatDialog(ActiveConfig& config, Interaction& io, QWidget* parent = nullptr);

  public slots:
    // Saves the pattern as typed, empty or not; stays open when it could
    // not be saved.
    void accept() override;

  private:
    void Reset();

    ActiveConfig& config_;
    Interaction& io_;
    std::string stored_;            // the pattern as the file held it
    QLineEdit* pattern_ = nullptr;  // 1038
};

}  // namespace qm

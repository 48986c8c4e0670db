// The set's feed: its file in the diary folder, the folder's address on the
// web, its title and how many entries it keeps. Opened from the path settings.
#pragma once

#include <QDialog>

class QLineEdit;
class QSpinBox;

namespace qm {

struct ActiveConfig;
class Interaction;

class FeedSettingsDialog : public QDialog {
    Q_OBJECT

  public:
    // Settings saved are the config's from then on, as the next load would read them.
    FeedSettingsDialog(ActiveConfig& config, Interaction& io, QWidget* parent = nullptr);

  public slots:
    // Saves the four values; stays open, saying why, when they cannot be
    // used or saved. An empty file name keeps no feed.
    void accept() override;

  private:
    ActiveConfig& config_;
    Interaction& io_;
    QLineEdit* file_ = nullptr;
    QLineEdit* site_ = nullptr;
    QLineEdit* title_ = nullptr;
    QSpinBox* count_ = nullptr;
};

}  // namespace qm

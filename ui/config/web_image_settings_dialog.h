// The set's web copies of images: made or not, their longest side and the
// JPEG quality. Opened from the path settings.
#pragma once

#include <QDialog>

class QCheckBox;
class QSpinBox;

namespace qm {

struct ActiveConfig;
class Interaction;

class WebImageSettingsDialog : public QDialog {
    Q_OBJECT

  public:
    // Settings saved are the config's from then on, as the next load would read them.
    WebImageSettingsDialog(ActiveConfig& config, Interaction& io, QWidget* parent = nullptr);

  public slots:
    // Saves the three values; stays open, saying so, when they cannot be saved.
    void accept() override;

  private:
    ActiveConfig& config_;
    Interaction& io_;
    QCheckBox* copies_ = nullptr;
    QSpinBox* longestSide_ = nullptr;
    QSpinBox* quality_ = nullptr;
};

}  // namespace qm

// The version box behind the window menu's "Quillmaker のﾊﾞｰｼﾞｮﾝ情報(&A)...".
#pragma once

#include <QDialog>

namespace qm {

class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

// "0.1.0": the version the program was built as.
QString ProgramVersion();

}  // namespace qm

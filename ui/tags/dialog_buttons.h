// The OK / ｷｬﾝｾﾙ row the tag builders share: OK is the default button and
// runs the dialog's accept(), ｷｬﾝｾﾙ its reject().
#pragma once

class QDialog;
class QHBoxLayout;

namespace qm {

QHBoxLayout* MakeOkCancelRow(QDialog& dialog);

}  // namespace qm

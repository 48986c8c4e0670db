// Qt's own texts (the standard buttons はい / いいえ / OK / キャンセル, the
// file and colour choosers) in Japanese whatever the desktop's language: the
// programs speak Japanese throughout.
#pragma once

class QCoreApplication;

namespace qm {

// Installs Qt's Japanese translations (qtbase_ja from Qt's translations
// folder) into `app` for its whole life. False when they are not installed;
// the programs then run with Qt's English texts.
bool LoadQtTranslations(QCoreApplication& app);

}  // namespace qm

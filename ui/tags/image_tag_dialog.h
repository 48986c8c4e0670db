// "IMGタブ精製機": an image file and the attributes of its img tag.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/web_images.h"
#include "ui/tags/tag_builders.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace qm {

class Interaction;

// The texts of the boxes when OK was pressed. The path is kept as the code
// page 932 bytes that the upload list and the file name are taken from.
struct ImageTagFields {
    std::string path;
    QString alt;
    QString width;
    QString height;
    QString hspace;
    QString vspace;
    QString border;
    bool widthPercent = false;
    bool heightPercent = false;
    std::optional<WebImage> webImage;  // the copy the tag shows, when one is made
};

// Makes the web copy of a chosen file (code page 932 path), or says why not
// in `problem`.
using WebImagePreparer =
    std::function<std::optional<WebImage>(const std::string& path, std::string& problem)>;

// The file name the tag refers to without a web copy: what follows the last '/' or '\' (never
// the second byte of a double-byte character), without a leading drive.
std::string ImageSourceName(std::string_view cp932Path);

// std::nullopt when every text is empty (the "%" boxes alone do not count).
// Attributes in the order src, alt, height, width, hspace, vspace, border.
std::optional<QString> BuildImageTag(const ImageTagFields& fields);

class ImageTagDialog : public QDialog {
    Q_OBJECT

  public:
    // The chooser starts in `startFolder`; `prepare` makes the web copy of
    // the file chosen, whose size the dialog shows before the tag is made.
    ImageTagDialog(Interaction& io, QString startFolder, WebImagePreparer prepare,
                   QWidget* parent = nullptr);

    // The file chooser's filter: image types first, then every file.
    static QString FileFilter();

    // Valid after OK.
    const ImageTagFields& Fields() const { return fields_; }

    // OK: takes the texts, then closes. A path that code page 932 cannot
    // spell, or a file of which no web copy can be made, is refused with a
    // message, and the dialog stays open.
    void accept() override;

    void Browse();

  private:
    // Makes the copy of the path in the box (once per path), shows its size
    // and puts it into empty (or still our own) width and height boxes.
    bool PrepareCopy(const std::string& path, bool quiet);

    Interaction& io_;
    QString startFolder_;
    WebImagePreparer prepare_;
    std::optional<WebImage> copy_;
    QLabel* copyInfo_;
    QLineEdit* path_;
    QLineEdit* alt_;
    QLineEdit* width_;
    QLineEdit* height_;
    QLineEdit* vspace_;
    QLineEdit* hspace_;
    QLineEdit* border_;
    QCheckBox* widthPercent_;
    QCheckBox* heightPercent_;
    ImageTagFields fields_;
};

}  // namespace qm

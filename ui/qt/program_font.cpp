#include "ui/qt/program_font.h"

#include "ui/forms/form_shapes.h"

#include <QString>
#include <QStringList>

namespace quorvel::ui {
namespace {

const QString kTimesNewRoman = QString::fromLatin1(forms::kSerifFace);
const QString kLiberationSerif = QString::fromLatin1(forms::kSerifStandIn);

// Tells Qt, once, what to use when Times New Roman is not installed. Fonts
// made elsewhere in the program by family name benefit as well.
void RegisterSubstitute() {
    static const bool registered = [] {
        QFont::insertSubstitution(kTimesNewRoman, kLiberationSerif);
        return true;
    }();
    (void)registered;
}

} // namespace

QFont SerifFont(qreal pointSize, QFont::Weight weight) {
    RegisterSubstitute();
    QFont font;
    font.setFamilies(QStringList{kTimesNewRoman, kLiberationSerif});
    font.setPointSizeF(pointSize);
    font.setWeight(weight);
    font.setItalic(false);
    return font;
}

} // namespace quorvel::ui

#include "toolkit/captioned.h"

#include "foundation/textlist.h"
#include "toolkit/accessible.h"
#include "toolkit/text.h"

namespace kab::tk {

void Captioned::setCaption(const SjisString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    text_ = toQt(caption);
    if (multiLine_) {
        text_.replace(toQt(kCrLf), QStringLiteral("\n"));
        text_.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    captionChanged(this);
    update();
}

} // namespace kab::tk

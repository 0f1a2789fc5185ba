// The four language flags, drawn in code: French, German, English, Italian.
#pragma once

#include <QPixmap>
#include <QSize>

namespace kerbolt::ui {

// The flag of language index 0 to 3 (Language - 1) at `size` pixels; a grey square otherwise.
QPixmap FlagPixmap(int index, QSize size);

} // namespace kerbolt::ui

#ifndef SCROLLBACKLIMIT_H
#define SCROLLBACKLIMIT_H

class QPlainTextEdit;

// The Output dock's scrollback limit: the setting "outputScrollbackLines" caps the number of
// lines the dock keeps, dropping the oldest first. 0, the default, keeps every line; each line
// then costs some 480 bytes (a million 80-character lines take about 480 MB).
namespace ScrollbackLimit {

// The stored limit; 0 when it is absent, not a number or negative.
int stored();
// Applies the stored limit to the view.
void apply(QPlainTextEdit* view);

} // namespace ScrollbackLimit

#endif

#ifndef SCROLLBACKLIMIT_H
#define SCROLLBACKLIMIT_H

class QPlainTextEdit;
class QSettings;
class QString;

// The Output dock's scrollback limit: the setting "outputScrollbackLines" caps the number of
// lines the dock keeps, dropping the oldest first. 0, the default, keeps every line; each line
// then costs some 480 bytes (a million 80-character lines take about 480 MB).
namespace ScrollbackLimit {

QString key();
// The limit stored in the settings; 0 when it is absent, not a number or negative.
int fromSettings(const QSettings& settings);
// Applies a limit to the view (0: none).
void apply(QPlainTextEdit* view, const QSettings& settings);

} // namespace ScrollbackLimit

#endif

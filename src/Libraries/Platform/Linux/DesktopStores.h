// Talking to the desktops' own settings stores: running their tools, and reading back what a
// store holds after the wallpaper was handed over, so a desktop that answers but keeps its old
// wallpaper (a locked key, a tool that changes nothing) is a failure rather than a success.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace Platform {

// Runs one tool; a failure describes itself in `why`.
bool RunTool(const QString& program, const QStringList& arguments, QString& why,
             QString* output = nullptr);
// A fully percent-encoded file URI: it cannot break out of a quoted string.
QString FileUri(const QString& path);

// Each check below succeeds when the store holds `wanted`; otherwise `why` names the desktop,
// the store and what it holds instead.

// A string key as `gsettings get` prints it.
bool GsettingsHolds(const QString& desktop, const QString& schema, const QString& key,
                    const QString& wanted, QString& why);
// The xfce4-desktop channel: every property of `wanted` its value.
bool XfconfHolds(const QMap<QString, QString>& wanted, QString& why);
// The xfce4-desktop channel's properties and values (`xfconf-query -l -v`).
bool XfconfValues(QMap<QString, QString>& values, QString& why);
// The desktop files of PCManFM (LXDE) or PCManFM-Qt (LXQt) in any profile. The running desktop
// saves them after the tool returns, so they are watched for a short while.
bool PcmanfmHolds(bool qt, const QString& wanted, QString& why);
// The reply of a Plasma script that prints, a line for each desktop, the wallpaper it holds and
// the one it was given, split by a tab.
bool PlasmaReplyHolds(const QString& reply, QString& why);

}  // namespace Platform

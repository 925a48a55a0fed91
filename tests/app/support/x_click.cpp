#include "x_click.h"

#include <QProcess>
#include <QStringList>

namespace apptest {

bool ClickAtScreen(const QPoint& global) {
    return QProcess::execute(QStringLiteral("xdotool"),
                             {QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(global.x()),
                              QString::number(global.y()), QStringLiteral("click"), QStringLiteral("1")}) == 0;
}

}  // namespace apptest

#include "log_capture.h"

namespace apptest {
namespace {

QStringList& Captured() {
    static QStringList lines;
    return lines;
}
QtMessageHandler& Previous() {
    static QtMessageHandler previous = nullptr;
    return previous;
}

void Capture(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    Captured().append(message);
    if (Previous()) Previous()(type, context, message);
}

}  // namespace

LogCapture::LogCapture() {
    Captured().clear();
    Previous() = qInstallMessageHandler(Capture);
}

LogCapture::~LogCapture() { qInstallMessageHandler(Previous()); }

bool LogCapture::Contains(const QString& text) const {
    for (const QString& line : Captured()) {
        if (line.contains(text)) return true;
    }
    return false;
}

const QStringList& LogCapture::Lines() const { return Captured(); }

}  // namespace apptest

#include "url_recorder.h"

#include <QDesktopServices>

namespace apptest {

UrlRecorder::UrlRecorder(const QStringList& schemes) : m_schemes(schemes) {
    for (const QString& scheme : m_schemes) QDesktopServices::setUrlHandler(scheme, this, "Open");
}

UrlRecorder::~UrlRecorder() {
    for (const QString& scheme : m_schemes) QDesktopServices::unsetUrlHandler(scheme);
}

}  // namespace apptest

#include "context/brand.h"

#include <QDebug>

#include "context/app_context.h"

namespace app {
namespace {
const char kTessivoId[] = "com.tessivoYun.box";
const char kBuiltInFrontendUrl[] = "https://box.tessivoyun.com/";
}  // namespace

QString DefaultFrontendUrl() {
    const QString fromEnv = qEnvironmentVariable("TESSIVO_FRONTEND_URL");
    return fromEnv.isEmpty() ? QString::fromLatin1(kBuiltInFrontendUrl) : fromEnv;
}

void ChooseBrand(const QStringList& arguments) {
    if (arguments.size() == 2) {
        qInfo().noquote() << "arguments:" << arguments.at(1);
        AppContext::SetFrontendUrl(arguments.at(1));
        return;
    }
    AppContext::SetFrontendUrl(DefaultFrontendUrl());
    AppContext::SetWindowTitle(QStringLiteral("tessivo云手机"));
    AppContext::SetApplicationId(QString::fromLatin1(kTessivoId));
    AppContext::SetApplicationName(QStringLiteral("tessivoYunBox"));
}

bool IsTessivoBrand() { return AppContext::ApplicationId() == QLatin1String(kTessivoId); }

QString BrandIconPath() {
    return IsTessivoBrand() ? QStringLiteral(":/image/assets/icon.png")
                            : QStringLiteral(":/image/assets/iconcorvo.png");
}

QIcon BrandIcon() { return QIcon(BrandIconPath()); }

}  // namespace app

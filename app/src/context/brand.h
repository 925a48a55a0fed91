#pragma once
// The two brands of the program and the choice between them.
#include <QIcon>
#include <QString>
#include <QStringList>

namespace app {

// The tessivo front end's address: $TESSIVO_FRONTEND_URL when set, else the
// built-in service address.
QString DefaultFrontendUrl();

// One argument after the program path: corvo brand, the argument is the
// front-end URL. Anything else: tessivo brand with DefaultFrontendUrl().
void ChooseBrand(const QStringList& arguments);

bool IsTessivoBrand();

// ":/image/assets/icon.png" or ":/image/assets/iconcorvo.png".
QString BrandIconPath();
QIcon BrandIcon();

}  // namespace app

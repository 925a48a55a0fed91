#include "keymap/base_key_setting_dialog.h"

#include <QDebug>

#include "keymap/base_select_key_scheme.h"
#include "keymap/key_scheme_json.h"
#include "keymap/key_set_view.h"
#include "keymap/keymap_style.h"
#include "keymap/wheel_view.h"
#include "widgets/toast_animation.h"

namespace app {

BaseKeySettingDialog::BaseKeySettingDialog(QWidget* deviceView) : QWidget(deviceView) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    m_ui.setupUi(this);
    m_wheel = new WheelView(this, CurrentKeymapStyle().marker);
    m_wheel->hide();
    WatchMarker(m_wheel);
    connect(m_ui.closeBtn, &QPushButton::clicked, this, &BaseKeySettingDialog::CloseEditor);
    connect(m_ui.saveBtn, &QPushButton::clicked, this, &BaseKeySettingDialog::Save);
    connect(m_ui.restoreBtn, &QPushButton::clicked, this, &BaseKeySettingDialog::Restore);
    connect(m_ui.selectSchemeBtn, &QPushButton::clicked, this, &BaseKeySettingDialog::ToggleSchemeList);
    connect(m_ui.keySetBtn, &QToolButton::pressed, this, [this] { AddKeyMarker(); });
    connect(m_ui.wheelBtn, &QToolButton::pressed, this, &BaseKeySettingDialog::ShowWheel);
}

BaseKeySettingDialog::~BaseKeySettingDialog() = default;

void BaseKeySettingDialog::open(int width, int height, std::shared_ptr<ChannelObjectInterface> channel,
                                ApplyCallback apply) {
    m_ui.Resize(this, width, height);
    m_channel = std::move(channel);
    m_apply = std::move(apply);
    Reload();
}

QList<KeySetData> BaseKeySettingDialog::getAll() {
    const QList<KeySetData> all = m_store.All();
    qInfo().noquote() << "getAllScheme:" << all.size();
    return all;
}

void BaseKeySettingDialog::select(int index) {
    qInfo().noquote() << "selectName:" << index;
    if (!m_store.Contains(index)) {
        KeySetData empty;
        empty.index = index;
        m_store.Write(index, empty);
    }
    m_currentIndex = index;
    Reload();
}

void BaseKeySettingDialog::rename(int index, const QString& name) {
    qInfo().noquote() << "changename:" << index << name;
    m_store.Rename(index, name);
    if (index == m_currentIndex) {
        m_ui.schemeNameLabel->setText(name);
    }
}

void BaseKeySettingDialog::remove(int position) {
    qInfo().noquote() << "removeScheme:" << position;
    m_store.Remove(position);
    Reload();
}

void BaseKeySettingDialog::Reload() {
    m_wheel->hide();
    m_usage.Clear();
    for (KeySetView* view : m_keyViews) {
        view->hide();
        view->deleteLater();
    }
    m_keyViews.clear();
    m_wheel->SetKeys(QString(), QString(), QString(), QString());
    m_usage.Clear();
    m_ui.schemeNameLabel->clear();
    if (!m_store.Contains(m_currentIndex)) {
        return;
    }
    const KeySetData scheme = m_store.Read(m_currentIndex);
    qInfo().noquote() << "currentView:" << QString::fromUtf8(KeySchemeToJson(scheme));
    m_ui.schemeNameLabel->setText(scheme.schemeName);
    const WheelData& w = scheme.wheel;
    if (w.shown) {
        m_wheel->SetPadSize(w.width, w.height);
        m_wheel->SetCenter(QPoint(w.x, w.y + 40));
        m_wheel->SetKeys(w.up, w.down, w.left, w.right);
        m_wheel->show();
        m_wheel->raise();
    }
    for (const KeyStoreItem& item : scheme.keys) {
        KeySetView* view = CreateKeyMarker(item.key);
        view->SetCenter(QPoint(item.x, item.y + 40));
        view->show();
    }
}

KeySetData BaseKeySettingDialog::CurrentScheme() const {
    KeySetData scheme;
    scheme.index = m_currentIndex;
    scheme.schemeName = m_ui.schemeNameLabel->text();
    scheme.wheel = m_wheel->Data();
    for (const KeySetView* view : m_keyViews) {
        const QPoint c = view->Center();
        scheme.keys.append({view->Key(), c.x(), c.y() - 40, view->width(), view->height()});
    }
    return scheme;
}

void BaseKeySettingDialog::Save() {
    const KeySetData scheme = CurrentScheme();
    m_store.Write(m_currentIndex, scheme);
    if (m_apply) {
        m_apply(true, scheme);
    }
    close();
}

void BaseKeySettingDialog::Restore() {
    KeySetData empty;
    empty.index = m_currentIndex;
    m_store.Write(m_currentIndex, empty);
    Reload();
}

void BaseKeySettingDialog::CloseEditor() {
    KeySetData empty;
    empty.index = m_currentIndex;
    if (m_apply) {
        m_apply(false, empty);
    }
    close();
}

KeySetView* BaseKeySettingDialog::CreateKeyMarker(const QString& key) {
    auto* view = new KeySetView(this, CurrentKeymapStyle().marker);
    m_keyViews.append(view);
    WatchMarker(view);
    view->Edit()->setText(key);  // registers the key through keyEdited
    return view;
}

void BaseKeySettingDialog::WatchMarker(KeyMarker* marker) {
    const bool wheel = marker == m_wheel;
    connect(marker, &KeyMarker::keyEdited, this,
            [this, wheel](QLineEdit* edit, const QString& text) { OnKeyEdited(edit, text, wheel); });
    connect(marker, &KeyMarker::dropped, this, &BaseKeySettingDialog::CheckDrop);
}

void BaseKeySettingDialog::OnKeyEdited(QLineEdit* edit, const QString& text, bool wheel) {
    switch (m_usage.Assign(edit, text)) {
        case KeyUsage::Recorded:
            if (wheel) {
                qInfo().noquote() << "wheelViewKey:" << text;
            }
            break;
        case KeyUsage::Duplicate:
            ToastAnimation::showTip(QStringLiteral("按键不能重复！"), this);
            edit->clear();
            break;
        case KeyUsage::Unchanged:
        case KeyUsage::Cleared:
            break;
    }
}

KeySetView* BaseKeySettingDialog::AddKeyMarker() {
    KeySetView* view = CreateKeyMarker(QString());
    view->SetCenter(mapFromGlobal(m_ui.keySetBtn->mapToGlobal(m_ui.keySetBtn->rect().center())));
    view->show();
    view->raise();
    view->FollowMouse();
    return view;
}

void BaseKeySettingDialog::ShowWheel() {
    m_wheel->SetCenter(mapFromGlobal(m_ui.wheelBtn->mapToGlobal(m_ui.wheelBtn->rect().center())));
    m_wheel->SetKeys(QString(), QString(), QString(), QString());
    m_wheel->SetKeys(QStringLiteral("w"), QStringLiteral("s"), QStringLiteral("a"), QStringLiteral("d"));
    m_wheel->show();
    m_wheel->raise();
    m_wheel->FollowMouse();
}

bool BaseKeySettingDialog::CheckDrop(KeyMarker* marker) {
    const QRect area(m_ui.left_base->mapToGlobal(QPoint(0, 0)), m_ui.left_base->size());
    const QPoint topLeft = marker->mapToGlobal(QPoint(0, 0));
    const bool inside = topLeft.x() > area.left() - 10 && topLeft.x() < area.left() + area.width() - marker->width() &&
                        topLeft.y() > area.top() - 20 && topLeft.y() < area.top() + area.height() - marker->height();
    if (inside) {
        return true;
    }
    ToastAnimation::showTip(QStringLiteral("请放置在窗口内！"), this);
    if (marker == m_wheel) {
        for (QLineEdit* edit : {m_wheel->UpEdit(), m_wheel->DownEdit(), m_wheel->LeftEdit(), m_wheel->RightEdit()}) {
            m_usage.Forget(edit);
        }
        m_wheel->hide();
    } else {
        RemoveKeyMarker(static_cast<KeySetView*>(marker));
    }
    return false;
}

void BaseKeySettingDialog::RemoveKeyMarker(KeySetView* marker) {
    m_usage.Forget(marker->Edit());
    m_keyViews.removeAll(marker);
    marker->hide();
    marker->deleteLater();
}

void BaseKeySettingDialog::ToggleSchemeList() {
    if (!m_schemeList) {
        KeySchemeOperations ops;
        ops.getAll = [this] { return getAll(); };
        ops.select = [this](int index) { select(index); };
        ops.rename = [this](int index, const QString& name) { rename(index, name); };
        ops.remove = [this](int position) { remove(position); };
        ops.currentIndex = [this] { return m_currentIndex; };
        m_schemeList = new BaseSelectKeyScheme(std::move(ops), this);
        m_schemeList->hide();
    }
    if (m_schemeList->isHidden()) {
        m_schemeList->Refresh();
        m_schemeList->show();
        m_schemeList->raise();
    } else {
        m_schemeList->hide();
    }
}

}  // namespace app

#pragma once
// The key-mapping editor: an overlay over the device picture where the user
// places key markers and the walking pad, picks, renames and removes schemes,
// and saves the current one.
#include <QList>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

#include "keymap/base_select_key_scheme.h"
#include "keymap/key_scheme_data.h"
#include "keymap/key_scheme_store.h"
#include "keymap/key_setting_layout.h"
#include "keymap/key_usage.h"

namespace app {

class ChannelObjectInterface;
class KeyMarker;
class KeySetView;
class WheelView;

class BaseKeySettingDialog : public QWidget {
    Q_OBJECT
public:
    // (applied, scheme): (true, saved scheme) on save, (false, empty) on close.
    using ApplyCallback = std::function<void(bool applied, const KeySetData& scheme)>;

    explicit BaseKeySettingDialog(QWidget* deviceView);
    ~BaseKeySettingDialog() override;

    // Picture area of width x (height - 40) below the title; keeps the back
    // end and the callback, and shows the current scheme.
    void open(int width, int height, std::shared_ptr<ChannelObjectInterface> channel, ApplyCallback apply);

    QList<KeySetData> getAll();
    void select(int index);
    void rename(int index, const QString& name);
    void remove(int position);

    // Shows the current scheme's markers again.
    void Reload();
    void Save();
    void Restore();
    // The close button: mapping off in the device view, editor closed.
    void CloseEditor();

    // A new key marker at the tool button, following the mouse.
    KeySetView* AddKeyMarker();
    // The walking pad at its tool button with w/s/a/d, following the mouse.
    void ShowWheel();
    // Keeps a dropped marker inside the picture area, or removes it with a toast.
    bool CheckDrop(KeyMarker* marker);
    // Toggles the scheme list popup (created on first use).
    void ToggleSchemeList();

    // The scheme the editor shows, as it would be saved.
    KeySetData CurrentScheme() const;
    int CurrentIndex() const { return m_currentIndex; }
    const QList<KeySetView*>& KeyMarkers() const { return m_keyViews; }
    WheelView* Wheel() const { return m_wheel; }
    BaseSelectKeyScheme* SchemeList() const { return m_schemeList; }
    const KeySettingLayout& Ui() const { return m_ui; }
    const KeyUsage& Usage() const { return m_usage; }

private:
    KeySetView* CreateKeyMarker(const QString& key);
    void WatchMarker(KeyMarker* marker);
    void OnKeyEdited(QLineEdit* edit, const QString& text, bool wheel);
    void RemoveKeyMarker(KeySetView* marker);

    KeySettingLayout m_ui;
    QList<KeySetView*> m_keyViews;
    WheelView* m_wheel = nullptr;
    std::shared_ptr<ChannelObjectInterface> m_channel;
    ApplyCallback m_apply;
    KeyUsage m_usage;
    int m_currentIndex = 0;
    QPointer<BaseSelectKeyScheme> m_schemeList;
    KeySchemeStore m_store;
};

}  // namespace app

#include "keymap/key_scheme_store.h"

#include <algorithm>

#include "keymap/key_scheme_json.h"

namespace app {

KeySchemeStore::KeySchemeStore()
    : m_settings(std::make_unique<QSettings>(QStringLiteral("keySettings"), QStringLiteral("key"))) {}

bool KeySchemeStore::Contains(int index) const { return m_settings->contains(QString::number(index)); }

KeySetData KeySchemeStore::Read(int index) const {
    return KeySchemeFromJson(m_settings->value(QString::number(index)).toString().toUtf8());
}

void KeySchemeStore::Write(int index, const KeySetData& scheme) {
    m_settings->setValue(QString::number(index), QString::fromUtf8(KeySchemeToJson(scheme)));
    m_settings->sync();
}

QStringList KeySchemeStore::SchemeKeys() const {
    QList<qulonglong> numbers;
    for (const QString& key : m_settings->childKeys()) {
        bool ok = false;
        const qulonglong n = key.toULongLong(&ok);
        if (ok && key == QString::number(n)) {
            numbers.append(n);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    QStringList keys;
    for (qulonglong n : numbers) {
        keys.append(QString::number(n));
    }
    return keys;
}

QList<KeySetData> KeySchemeStore::All() const {
    QList<KeySetData> schemes;
    for (const QString& key : SchemeKeys()) {
        schemes.append(KeySchemeFromJson(m_settings->value(key).toString().toUtf8()));
    }
    return schemes;
}

void KeySchemeStore::Rename(int index, const QString& name) {
    KeySetData scheme = Read(index);
    scheme.schemeName = name;
    Write(index, scheme);
}

void KeySchemeStore::Remove(int position) {
    QList<KeySetData> schemes;
    for (const QString& key : SchemeKeys()) {
        schemes.append(KeySchemeFromJson(m_settings->value(key).toString().toUtf8()));
        m_settings->remove(key);
    }
    if (position >= 0 && position < schemes.size()) {
        schemes.removeAt(position);
    }
    for (int i = 0; i < schemes.size(); ++i) {
        schemes[i].index = i;
        Write(i, schemes[i]);
    }
    m_settings->sync();
}

}  // namespace app

#pragma once
// Which key texts the editor's markers hold: each key slot (a marker's edit)
// holds at most one key, and no key is held twice.
#include <QMap>
#include <QSet>
#include <QString>

namespace app {

class KeyUsage {
public:
    enum Result { Recorded, Unchanged, Duplicate, Cleared };

    // Records text for slot, frees it (empty text) or refuses it when another
    // slot holds it. A slot that takes a new key gives up its former one.
    Result Assign(const void* slot, const QString& text);
    void Forget(const void* slot);
    void Clear();

    bool InUse(const QString& text) const { return m_used.contains(text); }
    QString KeyOf(const void* slot) const { return m_keys.value(slot); }
    int Count() const { return m_used.size(); }

private:
    QSet<QString> m_used;
    QMap<const void*, QString> m_keys;
};

}  // namespace app

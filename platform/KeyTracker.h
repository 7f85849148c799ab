#pragma once
#include "platform/PlatformExport.h"
#include <QObject>
#include <QSet>

namespace platform {

// Keeps which letter and digit keys are held, fed by an application-wide event filter, so that
// the real key state can answer the letter chords. Forgets everything when the application
// loses the focus (a release there is never seen).
class PLATFORM_EXPORT KeyTracker : public QObject {
    Q_OBJECT
public:
    // Installs the tracker on the running application (once).
    static void Install();
    static bool IsCharDown(char ch);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit KeyTracker(QObject* parent);
    QSet<int> m_held;
};

} // namespace platform

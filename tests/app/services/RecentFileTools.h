#pragma once
// The main window's recent-file tools, held in memory.
#include "app/services/MainWindowServices.h"

#include <QWidget>

namespace testing_doubles {

class RecentFileTools : public MainWindowServices {
public:
    struct Tool {
        QString caption;
        QString path;
        bool visible = false;
    };
    Tool tools[RecentFileCount + 1]; // 1-based
    QWidget* window = nullptr;

    RecentFileTools() { MainWindowServices::SetInstance(this); }
    ~RecentFileTools() override { MainWindowServices::SetInstance(nullptr); }

    // Shows the given paths as tools 1.. in order.
    void Show(const QStringList& paths)
    {
        for (int n = 1; n <= RecentFileCount; ++n) {
            const bool used = n <= paths.size();
            tools[n].path = used ? paths.at(n - 1) : QString();
            tools[n].caption = used ? QStringLiteral("&%1 %2").arg(n).arg(paths.at(n - 1)) : QString();
            tools[n].visible = used;
        }
    }
    QStringList VisiblePaths() const
    {
        QStringList out;
        for (int n = 1; n <= RecentFileCount; ++n)
            if (tools[n].visible)
                out << tools[n].path;
        return out;
    }

    QString RecentFileCaption(int n) const override { return tools[n].caption; }
    void SetRecentFileCaption(int n, const QString& caption) override { tools[n].caption = caption; }
    QString RecentFilePath(int n) const override { return tools[n].path; }
    void SetRecentFilePath(int n, const QString& path) override { tools[n].path = path; }
    bool RecentFileVisible(int n) const override { return tools[n].visible; }
    void SetRecentFileVisible(int n, bool visible) override { tools[n].visible = visible; }
    QWidget* MainWindow() override { return window; }
};

} // namespace testing_doubles

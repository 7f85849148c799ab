#include "platform/SystemInfo.h"

#include <QByteArray>
#include <gtest/gtest.h>

#include <optional>
#include <pwd.h>
#include <unistd.h>

namespace {

// Sets or unsets an environment variable for one scope.
class EnvironmentValue {
public:
    EnvironmentValue(const char* name, const std::optional<QByteArray>& value)
        : m_name(name), m_old(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt)
    {
        Set(value);
    }
    ~EnvironmentValue() { Set(m_old); }

private:
    void Set(const std::optional<QByteArray>& value)
    {
        if (value)
            qputenv(m_name, *value);
        else
            qunsetenv(m_name);
    }
    const char* m_name;
    std::optional<QByteArray> m_old;
};

// The name written into the file and the unit's transfer record is never empty: under cron or
// "env -i" neither variable is set, and the account names the user.
TEST(SystemInfoTest, TheUserNameFallsBackOnTheAccountNeverEmpty)
{
    const passwd* own = ::getpwuid(::geteuid());
    ASSERT_NE(own, nullptr);
    const QString account = QString::fromLocal8Bit(own->pw_name);
    const struct Row {
        std::optional<QByteArray> user, userName;
        QString name;
    } rows[] = {
        {"ann", "bob", "ann"},
        {std::nullopt, "bob", "bob"},
        {"", "bob", "bob"},
        {std::nullopt, std::nullopt, account},
        {"  ", "", account},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name.toStdString());
        EnvironmentValue user("USER", row.user), userName("USERNAME", row.userName);
        EXPECT_EQ(platform::SystemInfo::Instance().UserName(), row.name);
    }
    EXPECT_EQ(platform::AccountName(quint32(::geteuid())), account);
    // An account the system has no name for goes by its number.
    uid_t unnamed = 4000000;
    while (::getpwuid(unnamed))
        ++unnamed;
    EXPECT_EQ(platform::AccountName(quint32(unnamed)), QString::number(unnamed));
}

} // namespace

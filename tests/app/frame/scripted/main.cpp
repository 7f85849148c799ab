// The program itself as a child process whose message boxes a test answers: every box is
// written to standard output as "message<TAB>style<TAB>text" (line breaks as "\n"), and
// answered from QUARNO_TEST_ANSWERS, button numbers separated by commas, in order. A box
// with no answer left is closed, which counts as its Cancel or No button.
#include "app/frame/Startup.h"
#include "platform/MessagePresenter.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>

namespace {

class PrintingPresenter : public platform::MessagePresenter {
public:
    PrintingPresenter()
    {
        for (const QString& a : qEnvironmentVariable("QUARNO_TEST_ANSWERS").split(',', Qt::SkipEmptyParts))
            m_answers << a.trimmed().toInt();
    }
    int Show(const QString& text, int style, const QString&) override
    {
        QString line = text;
        line.replace('\r', QString()).replace('\n', QStringLiteral("\\n"));
        std::printf("message\t%d\t%s\n", style, line.toUtf8().constData());
        std::fflush(stdout);
        if (!m_answers.isEmpty())
            return m_answers.takeFirst();
        using namespace platform;
        switch (style & 0x0F) {
        case MsgStyle::YesNo: return MsgResult::No;
        case MsgStyle::OKCancel:
        case MsgStyle::YesNoCancel:
        case MsgStyle::RetryCancel: return MsgResult::Cancel;
        case MsgStyle::AbortRetryIgnore: return MsgResult::Abort;
        default: return MsgResult::OK;
        }
    }
    void Beep() override {}

private:
    QList<int> m_answers;
};

} // namespace

int main(int argc, char** argv)
{
    CommandLine line(argc, argv);
    if (const int refused = PrepareDisplay(line); refused >= 0)
        return refused;
    QApplication app(line.QtArgc(), line.QtArgv());
    QApplication::setOrganizationName("Kelvaro");
    QApplication::setApplicationName("Quarno");
    PrintingPresenter presenter;
    platform::MessagePresenter::SetInstance(&presenter);
    const int status = RunQuarno(app, line.Arguments());
    platform::MessagePresenter::SetInstance(nullptr);
    return status;
}

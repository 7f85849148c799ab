#pragma once
// A port double: records what the master writes and answers from a script, chunk by
// chunk on the event loop.
#include "platform/SerialPort.h"
#include "seriallink/XelCommTesting.h"

#include <QByteArray>
#include <QList>
#include <QMetaObject>

#include <functional>
#include <memory>

namespace seriallink_test {

// The far end of the line, shared by every port the factory makes.
struct Line {
    // Chunks to deliver for one write; none for a silent unit.
    std::function<QList<QByteArray>(const QByteArray& request)> respond;
    QList<QByteArray> writes;
    QList<int> writerIds; // which port wrote each
    int opens = 0;
    int closes = 0;
    int discards = 0;
    int portsMade = 0;
    int lastPortNumber = 0;
    QString lastSettings;
    bool refuseOpen = false;
};

class ScriptedPort : public platform::SerialPort {
public:
    ScriptedPort(Line* line, int id) : m_line(line), m_id(id) {}
    bool Open(int portNumber, const QString& settings) override
    {
        if (m_line->refuseOpen)
            return false;
        m_open = true;
        ++m_line->opens;
        m_line->lastPortNumber = portNumber;
        m_line->lastSettings = settings;
        return true;
    }
    void Close() override
    {
        if (m_open)
            ++m_line->closes;
        m_open = false;
        m_input.clear();
    }
    bool IsOpen() const override { return m_open; }
    bool Write(const QByteArray& bytes) override
    {
        if (!m_open)
            return false;
        m_line->writes.append(bytes);
        m_line->writerIds.append(m_id);
        const QList<QByteArray> chunks = m_line->respond ? m_line->respond(bytes) : QList<QByteArray>{};
        for (const QByteArray& chunk : chunks)
            QMetaObject::invokeMethod(
                this,
                [this, chunk] {
                    if (!m_open)
                        return;
                    m_input += chunk;
                    emit BytesArrived();
                },
                Qt::QueuedConnection);
        return true;
    }
    QByteArray ReadAll() override
    {
        QByteArray out;
        out.swap(m_input);
        return out;
    }
    void DiscardInput() override
    {
        ++m_line->discards;
        m_input.clear();
    }

private:
    Line* m_line;
    int m_id;
    bool m_open = false;
    QByteArray m_input;
};

// Installs the scripted line for one test and a short reply timer (one "second" is
// 20 ms), and restores both afterwards.
class ScriptedLine {
public:
    ScriptedLine()
    {
        XelCommTesting::SetMillisecondsPerSecond(20);
        platform::SerialPort::SetFactory([this] {
            return std::make_unique<ScriptedPort>(&line, ++line.portsMade);
        });
    }
    ~ScriptedLine()
    {
        platform::SerialPort::SetFactory({});
        XelCommTesting::SetMillisecondsPerSecond(1000);
    }
    Line line;
};

// A reply as the unit frames it: STX, text, ETX and the exclusive-or of text and ETX.
inline QByteArray Framed(const QByteArray& text)
{
    QByteArray body = text + char(3);
    char bcc = 0;
    for (char c : body)
        bcc ^= c;
    return char(2) + body + bcc;
}

} // namespace seriallink_test

#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <array>

namespace duva
{

class ModuleRecord;
struct RecordField;

// A module's configuration as typed values: what a WriteRequest carries. Every front end
// builds one (the window from its field texts, duvactl from checked values) and encodes it
// here, so the bytes of a write are laid out in one place.
struct RecordValues {
    std::array<quint8, 4> ipAddress{};
    std::array<quint8, 4> subnetMask{};
    std::array<quint8, 4> gateway{};
    std::array<quint8, 4> dnsServer{};
    quint16 localPort = 0;
    quint16 serverPort = 0;
    bool dhcp = false;
    bool watchdog = false;
    bool clientMode = false;
    bool autoDisconnect = false;
    quint8 autoDisconnectTime = 0;
    QByteArray firmwareVersion; // code-page bytes; the first 3 are sent, missing ones are 0
    std::array<quint8, 3> serialBytes{};
    QByteArray serverHost; // code-page bytes; the first 32 are sent, space-padded

    // The 65-byte WriteRequest.
    QByteArray encode() const;

    // Takes the field's bytes as a module holds them (a text's bytes as given, which
    // encode() pads); every other field keeps its value.
    void setField(const RecordField& field, const QByteArray& bytes);

    // What a module holds: a flag is on only at its exact value, as the window reads it, and
    // a mode byte other than 1 is taken as server, as the window writes it. The two texts
    // keep their raw bytes (padding included), so that they are written back unchanged.
    static RecordValues fromRecord(const ModuleRecord& record);

    int serialNumber() const;
    void setSerialNumber(int serial); // 0 to 16777215
};

} // namespace duva

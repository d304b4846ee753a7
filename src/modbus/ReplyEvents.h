#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>
#include <functional>

class TqvModbus;

// Event types of the Modbus master. Every handler gets the component as Sender.
// Array arguments are the handler's own copy, with as many elements as the request asked for.
using TNotifyEvent = std::function<void(TqvModbus* Sender)>;
using TRecvDataEvent = std::function<void(TqvModbus* Sender, const QByteArray& Data)>;
using TRecvErrorEvent = std::function<void(TqvModbus* Sender, quint32 EventMask)>;
using TSendMsgEvent = std::function<void(TqvModbus* Sender, const QByteArray& Msg)>;
using TF01ResponseEvent =
    std::function<void(TqvModbus* Sender, quint8 SlaveAddr, quint16 StartAddr, QList<bool> Values)>;
using TF02ResponseEvent = TF01ResponseEvent;
using TF03ResponseEvent = std::function<void(TqvModbus* Sender, quint8 SlaveAddr, quint16 StartAddr,
                                             QList<quint16> Values)>;
using TF05ResponseEvent =
    std::function<void(TqvModbus* Sender, quint8 SlaveAddr, quint16 DestAddr, bool Value)>;
using TF10ResponseEvent =
    std::function<void(TqvModbus* Sender, quint8 SlaveAddr, quint16 StartAddr, quint16 DataCount)>;
using TFC3ResponseEvent = std::function<void(TqvModbus* Sender, quint8 SlaveAddr, quint16 DevStatus,
                                             quint16 RTDLength, QList<quint16> Values)>;
using TFC4ResponseEvent =
    std::function<void(TqvModbus* Sender, quint8 SlaveAddr, quint16 DevStatus)>;

// The published events of the master, in declaration order. An unassigned event is skipped.
struct TqvModbusEvents {
    TNotifyEvent OnModemRING;
    TNotifyEvent OnModemRLSD;
    TRecvDataEvent OnRecvData;
    TRecvErrorEvent OnRecvError;
    TNotifyEvent OnSendEmpty;
    TNotifyEvent OnAfterConnect;
    TNotifyEvent OnAfterHangup;
    TSendMsgEvent OnAfterSendMsg;
    TNotifyEvent OnQueryData;
    TNotifyEvent OnResponseError;
    TF01ResponseEvent OnF01Response;
    TF02ResponseEvent OnF02Response;
    TF03ResponseEvent OnF03Response;
    TF05ResponseEvent OnF05Response;
    TF10ResponseEvent OnF10Response;
    TFC3ResponseEvent OnFC3Response;
    TFC4ResponseEvent OnFC4Response;
    TNotifyEvent OnAfterResponse;
    TNotifyEvent OnQueryFinish;
};

// Unpacks an accepted reply (request = the frame sent, reply = the located reply that
// passed CheckReplyFields) and raises the event of the request's function code on
// `events`, if assigned. Functions without an event (0x91, 0xC5, …) raise nothing.
void RaiseReplyEvent(TqvModbus* sender, const TqvModbusEvents& events, const QByteArray& request,
                     const QByteArray& reply);

// SPDX-License-Identifier: GPL-3.0-or-later
#include "InstanceRequest.hpp"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>
#include <array>
#include <cstdint>

namespace zemlar::InstanceMessage {
namespace {

constexpr qsizetype headerSize = 4;
constexpr std::array outcomeNames{"done", "failed", "passwordNeeded"};

QByteArray framed(const QJsonObject& object) {
    const QByteArray body = QJsonDocument(object).toJson(QJsonDocument::Compact);
    std::array<char, headerSize> header{};
    qToBigEndian(static_cast<std::uint32_t>(body.size()), header.data());
    return QByteArray(header.data(), headerSize) + body;
}

qsizetype bodySize(const QByteArray& buffer) {
    return static_cast<qsizetype>(qFromBigEndian<std::uint32_t>(buffer.constData()));
}

/// The object of the front frame, which is taken off; nothing when it holds no object.
std::optional<QJsonObject> takeObject(QByteArray& buffer) {
    if (check(buffer) != Frame::whole) {
        return std::nullopt;
    }
    const qsizetype size = bodySize(buffer);
    const QJsonDocument document = QJsonDocument::fromJson(buffer.mid(headerSize, size));
    buffer.remove(0, headerSize + size);
    if (!document.isObject()) {
        return std::nullopt;
    }
    return document.object();
}

/// Every element when all are strings; nothing otherwise.
std::optional<QStringList> strings(const QJsonValue& value) {
    if (!value.isArray()) {
        return std::nullopt;
    }
    QStringList list;
    for (const QJsonValue element : value.toArray()) {
        if (!element.isString()) {
            return std::nullopt;
        }
        list.append(element.toString());
    }
    return list;
}

} // namespace

QByteArray encode(const InstanceRequest& request) {
    return framed({{QStringLiteral("request"), request.name},
                   {QStringLiteral("arguments"), QJsonArray::fromStringList(request.arguments)}});
}

QByteArray encode(const CommandReply& reply) {
    return framed({
        {QStringLiteral("outcome"),
         QString::fromLatin1(outcomeNames.at(static_cast<std::size_t>(reply.outcome)))},
        {QStringLiteral("output"), QJsonArray::fromStringList(reply.output)},
        {QStringLiteral("errors"), QJsonArray::fromStringList(reply.errors)},
    });
}

Frame check(const QByteArray& buffer) {
    if (buffer.size() < headerSize) {
        return Frame::incomplete;
    }
    const qsizetype size = bodySize(buffer);
    if (size > frameLimit) {
        return Frame::invalid;
    }
    return buffer.size() - headerSize >= size ? Frame::whole : Frame::incomplete;
}

std::optional<InstanceRequest> takeRequest(QByteArray& buffer) {
    const auto object = takeObject(buffer);
    if (!object || !(*object)[QStringLiteral("request")].isString()) {
        return std::nullopt;
    }
    auto arguments = strings((*object)[QStringLiteral("arguments")]);
    if (!arguments) {
        return std::nullopt;
    }
    return InstanceRequest{.name = (*object)[QStringLiteral("request")].toString(),
                           .arguments = std::move(*arguments)};
}

std::optional<CommandReply> takeReply(QByteArray& buffer) {
    const auto object = takeObject(buffer);
    if (!object) {
        return std::nullopt;
    }
    const QString outcome = (*object)[QStringLiteral("outcome")].toString();
    auto output = strings((*object)[QStringLiteral("output")]);
    auto errors = strings((*object)[QStringLiteral("errors")]);
    for (std::size_t index = 0; index < outcomeNames.size(); ++index) {
        if (outcome == QLatin1String(outcomeNames.at(index)) && output && errors) {
            return CommandReply{.outcome = static_cast<CommandReply::Outcome>(index),
                                .output = std::move(*output),
                                .errors = std::move(*errors)};
        }
    }
    return std::nullopt;
}

} // namespace zemlar::InstanceMessage

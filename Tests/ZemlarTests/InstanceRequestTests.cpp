// SPDX-License-Identifier: GPL-3.0-or-later
#include "InstanceRequest.hpp"

#include <gtest/gtest.h>

namespace zemlar {
namespace {

using namespace InstanceMessage;

const InstanceRequest importRequest{.name = InstanceRequest::importFile,
                                    .arguments = {QStringLiteral("/home/me/ü.png"), QString()}};

TEST(InstanceMessage, FramesArriveInPiecesAndBackToBack) {
    const QByteArray frame = encode(importRequest);
    QByteArray buffer;
    for (const char byte : frame.chopped(1)) {
        buffer.append(byte);
        ASSERT_EQ(check(buffer), Frame::incomplete);
    }
    buffer.append(frame.back());
    const CommandReply reply{.outcome = CommandReply::Outcome::passwordNeeded,
                             .output = {QStringLiteral("Added: 1")},
                             .errors = {QStringLiteral("x: y")}};
    buffer += encode(reply);
    EXPECT_EQ(takeRequest(buffer), importRequest);
    EXPECT_EQ(takeReply(buffer), reply);
    EXPECT_TRUE(buffer.isEmpty());
}

TEST(InstanceMessage, ABadFrameIsRefusedOrTakenOffWithoutAMessage) {
    QByteArray oversized("\x7f\xff\xff\xff{}", 6);
    EXPECT_EQ(check(oversized), Frame::invalid);
    for (const QByteArray& body : {QByteArray("[1]"), QByteArray(R"({"request":1})"),
                                   QByteArray(R"({"request":"import","arguments":[1]})")}) {
        QByteArray buffer = QByteArray("\0\0\0", 3) + char(body.size()) + body + "tail";
        EXPECT_EQ(takeRequest(buffer), std::nullopt) << body.constData();
        EXPECT_EQ(buffer, "tail");
    }
}

} // namespace
} // namespace zemlar

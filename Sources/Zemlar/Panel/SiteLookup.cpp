// SPDX-License-Identifier: GPL-3.0-or-later
#include "SiteLookup.hpp"

#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <exception>
#include <qcoro/qcorofuture.h>

namespace zemlar {
namespace {

QThreadPool& readingPool() {
    static QThreadPool* pool = [] {
        auto* created = new QThreadPool;
        created->setMaxThreadCount(2);
        return created;
    }();
    return *pool;
}

} // namespace

QCoro::Task<std::optional<std::string>> lookUpSite(TabHostReader reader, FrontApp app) {
    if (!reader) {
        co_return std::nullopt;
    }
    QFuture<std::optional<std::string>> reading =
        QtConcurrent::run(&readingPool(), [reader = std::move(reader), app = std::move(app)] {
            try {
                return reader(app);
            } catch (const std::exception&) {
                return std::optional<std::string>();
            }
        });
    co_return co_await reading;
}

} // namespace zemlar

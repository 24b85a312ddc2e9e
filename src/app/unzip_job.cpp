// the worker behind the unzip command
#include "app/unzip_job.h"

#include "app/window_texts.h"

namespace corvane {

UnzipJob::UnzipJob(UnzipRequest request, QObject* parent) : Job(parent), m_request(std::move(request)) {}

UnzipJob::~UnzipJob() {
    cancelAndWait();
}

void UnzipJob::work() {
    const QString shownName = m_request.archive.section(QLatin1Char('/'), -1);
    UnzipOptions options;
    options.limits = m_request.limits;
    options.existing = m_request.existing;
    options.passwordAttempts = kPasswordAttempts;
    options.askPassword = [this, &shownName](int attempt) -> std::optional<std::string> {
        std::optional<QString> password;
        ask([&] { emit passwordNeeded(shownName, attempt, &password); });
        if (!password)
            return std::nullopt;
        return password->toStdString();
    };
    options.progress = [this](double fraction) {
        const int units = static_cast<int>(fraction * kProgressUnits);
        if (m_throttle.shouldPost(0, units, std::chrono::steady_clock::now()))
            post([this, units] { emit progressed(units); });
    };
    options.cancelRequested = [this] { return cancelRequested(); };
    m_extracted = ExtractArchive(PathBytes(m_request.archive), PathBytes(m_request.folder), options);
}

} // namespace corvane

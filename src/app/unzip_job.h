// the unzip command as a job: a backup unpacked on a worker thread, its progress, its questions, its end
#pragma once

#include <QString>
#include <chrono>
#include <optional>

#include "app/jobs.h"
#include "core/common/progress.h"
#include "core/restore/restore.h"

namespace corvane {

// A backup archive unpacked into a folder beside it or elsewhere.
struct UnzipRequest {
    // opened as chosen: on a file system that tells letter case apart, "X.ZIP" and "X.zip" are two files
    QString archive;
    QString folder;
    UnzipLimits limits;
    // the user has agreed to replace a folder that holds files
    ExistingFolder existing = ExistingFolder::Refuse;
};

class UnzipJob final : public Job {
    Q_OBJECT

public:
    // the progress bar's resolution: a report that would not move it by one unit is not sent
    static constexpr int kProgressUnits = 1000;
    // a wrong password is asked again this many times in all
    static constexpr int kPasswordAttempts = 3;

    explicit UnzipJob(UnzipRequest request, QObject* parent = nullptr);
    ~UnzipJob() override;

    const UnzipRequest& request() const { return m_request; }

signals:
    // at most once per 40 ms, in kProgressUnits
    void progressed(int units);
    // An encrypted archive, while the worker waits: a receiver on the job's thread sets *password; left
    // empty, the extraction is cancelled. archiveName is the file's name without its folder; attempt
    // counts from 1, and a later one follows a wrong password.
    void passwordNeeded(const QString& archiveName, int attempt, std::optional<QString>* password);
    // folder: the request's, where the entries went; extracted: their number, or why there are none
    void ended(const QString& folder, const Result<int>& extracted);

protected:
    void work() override;
    void reportEnd() override { emit ended(m_request.folder, *m_extracted); }

private:
    UnzipRequest m_request;
    ProgressThrottle m_throttle{std::chrono::milliseconds(40)};
    std::optional<Result<int>> m_extracted; // set by the work before the end is reported
};

} // namespace corvane

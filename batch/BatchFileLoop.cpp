#include "BatchFileLoop.h"

BatchFileLoop::BatchFileLoop (BatchOperation& operationToRun, const std::atomic<bool>* cancelFlag,
                              std::function<void (int, int)> progressCallback)
    : operation (operationToRun),
      cancel (cancelFlag),
      progress (std::move (progressCallback))
{
}

juce::String BatchFileLoop::outsideReason (const PlannedFile& planned)
{
    return "it leads to " + planned.detail + ", outside the folder: not backed up, not changed";
}

juce::String BatchFileLoop::aliasReason (const PlannedFile& planned)
{
    return "the same file as " + planned.detail + ", processed under that name";
}

BatchFileLoop::End BatchFileLoop::run (const std::vector<PlannedFile>& plan, const Handler& handler)
{
    // Parsing the next files overlaps converting and writing this one.
    const auto ahead = FileReadAhead::startFor (operation, plan);
    bool stopped = false;
    int filesDone = 0;

    for (const auto& planned : plan)
    {
        if (isCancelled())
            return End::cancelled;

        if (stopped)
        {
            if (! planned.isSkipped (operation.createsMissingFiles()))
            {
                Step step { planned, Step::Kind::notReached, {}, {}, {}, {}, {}, {} };
                handler.fileDone (step);
            }
        }
        else
        {
            // A file to process is opened once: what is found there decides
            // whether it is passed over, and is what the run reads and writes.
            std::optional<FileReadAhead::PreparedFile> prepared;
            if (planned.kind == PlannedFile::Kind::process)
                prepared = prepare (planned, ahead.get());

            if (! isGone (planned, prepared))
            {
                if (handler.fileStarts)
                    handler.fileStarts (planned);

                auto step = stepFor (planned, std::move (prepared));
                // An evaluation stopped by a cancel left its file as it was.
                if (step.kind == Step::Kind::stopped && isCancelled())
                {
                    step.kind = Step::Kind::cancelled;
                    handler.fileDone (step);
                    return End::cancelled;
                }

                const bool goOn = handler.fileDone (step) && step.kind != Step::Kind::stopped;
                if (ahead != nullptr)
                    ahead->giveBack (std::move (step.original));
                if (! goOn)
                {
                    if (! handler.listsFilesAfterStop)
                        return End::stopped;
                    stopped = true;
                }
            }
        }

        if (progress)
            progress (++filesDone, (int) plan.size());
    }

    return stopped ? End::stopped : End::completed;
}

bool BatchFileLoop::isGone (const PlannedFile& planned, const std::optional<FileReadAhead::PreparedFile>& prepared) const
{
    if (operation.createsMissingFiles())
        return false;
    return prepared.has_value() ? prepared->isGone() : planned.isSkipped (false);
}

FileReadAhead::PreparedFile BatchFileLoop::prepare (const PlannedFile& planned, FileReadAhead* ahead) const
{
    try
    {
        return FileReadAhead::obtain (ahead, operation, planned);
    }
    catch (const std::bad_alloc&)
    {
    }
    catch (const std::length_error&)
    {
    }
    // A file too large for this process fails alone; the run goes on with the next.
    FileReadAhead::PreparedFile failed;
    failed.file = planned.file;
    failed.read = juce::Result::fail ("not enough memory");
    return failed;
}

void BatchFileLoop::failForMemory (Step& step)
{
    // A file too large for this process fails alone; the run goes on with the next.
    step.kind = Step::Kind::readFailed;
    step.reason = "not enough memory";
    step.original = {};
    step.rewrite = {};
}

BatchFileLoop::Step BatchFileLoop::stepFor (const PlannedFile& planned, std::optional<FileReadAhead::PreparedFile> prepared)
{
    Step step { planned, Step::Kind::rewritten, {}, {}, {}, {}, {}, {} };
    switch (planned.kind)
    {
        case PlannedFile::Kind::outside:
            step.kind = Step::Kind::outside;
            step.reason = outsideReason (planned);
            return step;
        case PlannedFile::Kind::alias:
            step.kind = Step::Kind::alias;
            step.reason = aliasReason (planned);
            return step;
        case PlannedFile::Kind::process:
            break;
    }

    jassert (prepared.has_value());
    try
    {
        if (prepared->read.failed())
        {
            step.kind = Step::Kind::readFailed;
            step.reason = prepared->read.getErrorMessage();
            return step;
        }

        step.original = std::move (prepared->bytes);
        step.gzip = std::move (prepared->gzip);
        step.readAs = prepared->state;
        step.rewrite = operation.rewrite (planned.file, step.original, prepared->analysis.get(), step.readAs);
    }
    catch (const BatchOperation::StopRun& stop)
    {
        step.kind = Step::Kind::stopped;
        step.stop = stop;
    }
    catch (const std::bad_alloc&)
    {
        failForMemory (step);
    }
    catch (const std::length_error&)
    {
        failForMemory (step);
    }
    return step;
}

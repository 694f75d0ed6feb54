#include "BatchFileLoop.h"

#include "FileReadAhead.h"

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

        if (! planned.isSkipped (operation.createsMissingFiles()))
        {
            if (stopped)
            {
                Step step { planned, Step::Kind::notReached, {}, {}, {}, {}, {} };
                handler.fileDone (step);
            }
            else
            {
                if (handler.fileStarts)
                    handler.fileStarts (planned);

                auto step = stepFor (planned, ahead.get());
                // An evaluation stopped by a cancel left its file as it was.
                if (step.kind == Step::Kind::stopped && isCancelled())
                {
                    step.kind = Step::Kind::cancelled;
                    handler.fileDone (step);
                    return End::cancelled;
                }

                const bool goOn = handler.fileDone (step) && step.kind != Step::Kind::stopped;
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

void BatchFileLoop::failForMemory (Step& step)
{
    // A file too large for this process fails alone; the run goes on with the next.
    step.kind = Step::Kind::readFailed;
    step.reason = "not enough memory";
    step.original = {};
    step.rewrite = {};
}

BatchFileLoop::Step BatchFileLoop::stepFor (const PlannedFile& planned, FileReadAhead* ahead)
{
    Step step { planned, Step::Kind::rewritten, {}, {}, {}, {}, {} };
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

    try
    {
        auto prepared = FileReadAhead::obtain (ahead, operation, planned);
        if (prepared.read.failed())
        {
            step.kind = Step::Kind::readFailed;
            step.reason = prepared.read.getErrorMessage();
            return step;
        }

        step.original = std::move (prepared.bytes);
        step.gzip = std::move (prepared.gzip);
        step.rewrite = operation.rewrite (planned.file, step.original, prepared.analysis.get());
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

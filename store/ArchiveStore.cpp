#include "store/ArchiveStore.h"

// Scaffold for the branches that build this class; replaced whole by them.
struct ArchiveStore::Private
{
};

ArchiveStore::ArchiveStore(const QString&)
    : d(std::make_unique<Private>())
{
}

ArchiveStore::~ArchiveStore() = default;

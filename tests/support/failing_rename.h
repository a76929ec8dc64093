#pragma once
// A disk that refuses to put a file in place: while a TFailingRename lives,
// the atomic writer's final rename fails (EIO) for every target whose name
// ends in the given suffix, so the write fails and the old file stays.

class TFailingRename {
public:
    explicit TFailingRename(const char *suffix);
    ~TFailingRename();
    TFailingRename(const TFailingRename &) = delete;
    TFailingRename &operator=(const TFailingRename &) = delete;
};

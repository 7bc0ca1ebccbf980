#include "platform/files/FileStream.h"

#include "platform/files/detail/TemporaryFile.h"

TFileStream::TFileStream(const std::string &fileName, Link link)
    : file_(std::make_unique<FileSystem::TemporaryFile>(fileName, link == Link::Replaced))
{
}

TFileStream::~TFileStream() = default;

void TFileStream::Write(const char *data, std::size_t count) { file_->Write(data, count); }

int64_t TFileStream::Size() const { return file_->Size(); }

bool TFileStream::Failed() const { return file_->Failed(); }

void TFileStream::Close() { file_->Close(); }

std::string TFileStream::Commit() { return file_->Commit(); }

void TFileStream::ReadBack(const std::function<void(std::string_view)> &each) const { file_->ReadBack(each); }

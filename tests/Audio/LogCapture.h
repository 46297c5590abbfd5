// Collects what the main log writes while the capture lives.
#pragma once

#include "Core/Base/Log.h"
#include "Core/Base/StringConvert.h"

#include <memory>
#include <string>

namespace audiotest
{
class LogCapture
{
public:
    LogCapture() : mState(std::make_shared<State>()) { base::MainLog::Instance()->AddPlainOutput(new Output(mState)); }
    ~LogCapture() { mState->alive = false; }
    int Count(const std::string& needle) const
    {
        int n = 0;
        const std::string& text = mState->text;
        for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
            ++n;
        return n;
    }
    const std::string& Text() const { return mState->text; }

private:
    struct State
    {
        std::string text;
        bool alive = true;
    };
    struct Output : base::LogOutput
    {
        explicit Output(std::shared_ptr<State> state) : mState(std::move(state)) {}
        void Write(const std::wstring& text) override
        {
            if (mState->alive)
                mState->text += base::WideToUtf8(text);
        }
        std::shared_ptr<State> mState;
    };
    std::shared_ptr<State> mState;
};
} // namespace audiotest

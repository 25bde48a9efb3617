// Run, debug and error logs of the client program, and the trace log of a traced program.
#pragma once

#include <cstdint>
#include <string>

#include <tovcore/AppObject.h>

namespace tovcore::detail {

std::string InitLog(const std::string& LogFile);
std::string InitDebugLog(const std::string& DebugFile);
std::string InitErrorLog(const std::string& ErrorFile);
void WriteLog(const std::string& Msg);
void HoldLogsOpen(bool hold);
void WriteDebugLog(const std::string& Msg);
void WriteErrorLog(const std::string& Msg);
void WriteAppErrorLog(const std::string& Msg);

void InitTraceLog(const AppObject& ApplInf);
void WriteTraceLog(const std::string& RtnName, std::int16_t MsgType);

}  // namespace tovcore::detail

#include "zorkit/module/LibraryResources.h"

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/Resources.h"

namespace zorkit {
namespace {

struct StringEntry {
    UINT id;
    const char* utf8;
};

const StringEntry kStrings[] = {
    {IDS_OUT_OF_MEMORY, "内存溢出！"},
    {IDS_WRONG_CHIP, "单片机芯片 %s 使用错误！\n\n请关闭试验箱电源后换上正确的芯片。"},
    {IDS_PORT_IN_USE, "无法正确打开串口设备，请检查串口%d是否正被其他应用程序使用！"},
    {IDS_PORT_SYSTEM_ERROR, "由于严重系统调用错误，无法正确打开串口设备！\n建议重启计算机再试！"},
    {IDS_PORT_AND_BAUD, "通讯端口：COM%d\n波特率：%dbps"},
    {IDS_CARET_INDICATOR, "======行，======列"},
};

}

void RegisterLibraryResources()
{
    for (const StringEntry& entry : kStrings)
        RegisterStringResource(entry.id, GbkFromUtf8(entry.utf8).c_str());
}

void UnregisterLibraryResources()
{
    for (const StringEntry& entry : kStrings)
        UnregisterStringResource(entry.id);
}

}

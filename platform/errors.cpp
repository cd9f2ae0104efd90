#include "platform/errors.h"

#include <grp.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <string_view>

namespace platform {

namespace {

struct ErrnoText {
    int error;
    const char* text;
};

// The errors a port, a device file or a socket can meet, worded as the
// Chinese system messages word them.
constexpr ErrnoText ErrnoTexts[] = {
    {EPERM, "操作不允许"},
    {ENOENT, "没有那个文件或目录"},
    {EINTR, "被中断的系统调用"},
    {EIO, "输入/输出错误"},
    {ENXIO, "没有那个设备或地址"},
    {EBADF, "错误的文件描述符"},
    {EAGAIN, "资源暂时不可用"},
    {ENOMEM, "无法分配内存"},
    {EACCES, "权限不够"},
    {EBUSY, "设备或资源忙"},
    {EEXIST, "文件已存在"},
    {ENODEV, "没有那个设备"},
    {ENOTDIR, "不是目录"},
    {EISDIR, "是一个目录"},
    {EINVAL, "无效的参数"},
    {ENFILE, "系统中打开的文件过多"},
    {EMFILE, "打开的文件过多"},
    {ENOTTY, "对设备不适当的 ioctl 操作(不是串口设备)"},
    {ENOSPC, "设备上没有空间"},
    {EROFS, "只读文件系统"},
    {EPIPE, "断开的管道(对方已关闭连接)"},
    {ENAMETOOLONG, "文件名过长"},
    {ELOOP, "符号连接的层数过多"},
    {ENOTCONN, "传输端点尚未连接"},
    {ETIMEDOUT, "连接超时"},
    {ECONNREFUSED, "拒绝连接"},
    {ECONNRESET, "连接被对方重置"},
    {ECONNABORTED, "连接被中止"},
    {EHOSTUNREACH, "没有到主机的路由"},
    {EHOSTDOWN, "主机关闭"},
    {ENETUNREACH, "网络不可达"},
    {ENETDOWN, "网络已关闭"},
    {EADDRNOTAVAIL, "无法指定被请求的地址"},
    {ECANCELED, "操作已取消"},
};

std::string groupName(gid_t gid) {
    group entry{};
    group* found = nullptr;
    std::array<char, 4096> buffer{};
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
        return {};
    return entry.gr_name;
}

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

} // namespace

std::string errnoMessage(int error) {
    for (const ErrnoText& row : ErrnoTexts) {
        if (row.error == error)
            return row.text;
    }
    return "系统错误(错误码 " + std::to_string(error) + ")";
}

std::string lastErrnoMessage(const char* what) {
    const int saved = errno;
    std::string text = std::string(what) + "：" + errnoMessage(saved);
    errno = saved;
    return text;
}

std::string accessGroupFor(const std::string& devicePath) {
    // The device's group is the one that gives access, unless it is root's.
    struct stat info {};
    if (::stat(devicePath.c_str(), &info) == 0 && info.st_gid != 0) {
        if (std::string name = groupName(info.st_gid); !name.empty())
            return name;
    }
    const std::string_view path(devicePath);
    if (contains(path, "/tty"))
        return "dialout";
    if (contains(path, "/lp") || contains(path, "/usb/lp") || contains(path, "parport"))
        return "lp";
    return {};
}

std::string openFailureMessage(const std::string& devicePath, int error) {
    std::string text = devicePath + "：" + errnoMessage(error);
    if (error != EACCES && error != EPERM)
        return text;
    const std::string group = accessGroupFor(devicePath);
    if (group.empty())
        return text + "。请检查设备文件的访问权限";
    return text + "。请把当前用户加入 " + group + " 组(sudo usermod -aG " + group +
           " $USER),重新登录后再试";
}

std::string writeTimeoutMessage() {
    return "写入超时";
}

} // namespace platform

#include "StoreReason.h"

#include "records/EasyDb.h"

namespace orvenna {

const std::wstring_view SaveFailedText = L"保存失败";

std::wstring storeReason(const Error& error) {
    switch (storeFailure(error)) {
        case StoreFailure::Locked:
            return L"数据库正被其他程序使用";
        case StoreFailure::Damaged:
            return L"数据库已损坏";
        case StoreFailure::ReadOnly:
            return L"数据库只读,无法写入";
        case StoreFailure::NoFile:
            return L"无法打开数据库";
        case StoreFailure::RowMissing:
            return L"该记录已不存在";
        case StoreFailure::Other:
            break;
    }
    return L"数据库出错";
}

}  // namespace orvenna

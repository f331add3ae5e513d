// ProcessFolderRule's work: folder rules become object rules for each folder
// found and its direct contents.
#include "merge_rules.h"

#include "common/find_folder_with_path.h"

#include "ordering/iterator_walk.h"
#include "ordering/level_list.h"
#include "ordering/object_list.h"
#include "ordering/sort_application_by_levels.h"

#include "diagnostics/errors.h"
#include "diagnostics/trace.h"

#include "host/collection_members.h"
#include "host/folder_calls.h"
#include "host/host_object_calls.h"
#include "host/search_calls.h"

#include "com/error.h"
#include "com/variant.h"

#include <string>

namespace rules {

namespace {

using diagnostics::traced;
using ordering::has_next;
using ordering::next_of;

constexpr std::wstring_view class_label = CMergeRules::class_label;

com::com_ptr<HostSession> session_in(HostSession** session)
{
    if (!session || !*session) com::throw_with_new_info(E_POINTER, class_label, L"No session was given.");
    com::com_ptr<HostSession> answered;
    const HRESULT result = (*session)->QueryInterface(IID_HostSession, answered.put_void());
    if (FAILED(result)) com::throw_with_new_info(result, class_label, L"The object is not a host session.");
    return answered;
}

// Sorts the folders into levels. The sort takes the level list by reference; the
// list it leaves there is the sorted one.
com::com_ptr<IKSQLevelList> sorted(com::com_ptr<IKSQLevelList> levels, HostSession& session)
{
    const auto sorter = com::as_interface<IKSQSortApplicationObjects>(com::make<ordering::CSortApplicationByLevels>());
    com::check(sorter->putref_Session(&session), sorter.get());
    com::variant reference;
    reference.put()->vt = VT_DISPATCH;
    reference.get()->pdispVal = levels.detach();
    com::check(sorter->Sort(reference.get()), sorter.get());

    com::variant left;
    com::check(::VariantCopyInd(left.put(), reference.get()));
    IUnknown* object = com::object_in(*left.get());
    com::com_ptr<IKSQLevelList> result;
    if (!object || FAILED(object->QueryInterface(IID_IKSQLevelList, result.put_void())))
        com::throw_with_new_info(DISP_E_TYPEMISMATCH, class_label, L"The sort left no level list.");
    return result;
}

LONG action_of(const com::com_ptr<IKSQFolderRule>& rule)
{
    LONG action = 0;
    com::check(rule->get_Action(&action), rule.get());
    return action;
}

} // namespace

void CMergeRules::process_folder_rules(HostSession** session)
{
    const com::com_ptr<HostSession> host_session = session_in(session);
    const com::com_ptr<IKSQLevelList> levels = sorted(PopulateFolderList(*host_session, folders_), *host_session);

    // From the last level to the first; each level in list order.
    com::com_ptr<IKSQLevelIterator> walk;
    com::check(levels->CreateReverseLevelIterator(walk.put()), levels.get());
    while (has_next(*walk)) {
        const com::com_ptr<IKSQObjectList> level = next_of<IKSQObjectList>(*walk, class_label);
        com::com_ptr<IKSQObjectIterator> folders;
        com::check(level->CreateObjectIterator(folders.put()), level.get());
        while (has_next(*folders))
            apply_folder_rule(*next_of<HostObject>(*folders, class_label));
    }
}

void CMergeRules::apply_folder_rule(HostObject& folder)
{
    const com::com_ptr<IKSQFolderRule>* rule = folders_->find(host::full_path_of(folder));
    // The folder was found by that very path; a host that now reports another one
    // leaves it without a rule.
    if (!rule) diagnostics::raise_subscript_out_of_range(class_label);
    const LONG action = action_of(*rule);
    SetFolderContentRules(*host::as_host_folder(folder, class_label), action, false);
}

com::com_ptr<IKSQLevelList> CMergeRules::PopulateFolderList(HostSession& session, const folder_table& table)
{
    return traced(class_label, L"PopulateFolderList", [&] {
        com::com_ptr<ObjectSource2> source = host::object_source_of(session);
        const auto found = com::as_interface<IKSQObjectList>(com::make<ordering::CObjectList>());
        // A path that names no folder adds nothing.
        for (const std::wstring& path : table->keys()) {
            com::com_ptr<HostObject> folder;
            if (common::FindFolderWithPath(path, source, folder)) com::check(found->Add(folder.get()), found.get());
        }
        auto levels = com::as_interface<IKSQLevelList>(com::make<ordering::CLevelList>());
        com::check(levels->Add(found.get()), levels.get());
        return levels;
    });
}

void CMergeRules::SetFolderContentRules(HostFolder& folder, LONG action, bool recurse)
{
    traced(class_label, L"SetFolderContentRules", [&] {
        SetObjectRuleWithoutError(host::id_of(*host::folder_object_of(folder)), host::ObjectTypeFolder, action);
        host::collection_members contents = host::contents_of(folder, class_label);
        while (const com::com_ptr<HostObject> item = contents.next_host_object()) {
            // The subtype code plays no part here.
            const LONG type = host::type_code_of(*item);
            if (recurse && type == host::ObjectTypeFolder)
                SetFolderContentRules(*host::as_host_folder(*item, class_label), action, recurse);
            else
                SetObjectRuleWithoutError(host::id_of(*item), type, action);
        }
    });
}

} // namespace rules

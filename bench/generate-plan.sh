#!/bin/sh
# Writes a generated merge plan of about N objects to standard output:
#   generate-plan.sh N [SEED]
# Folders of 10 to 200 objects in a tree, a folder rule on about one folder in
# ten, a few hundred other rules (object, type and category rules), and sparse
# relations among folders (about one folder in twenty names an earlier one).
exec awk -v total="$1" -v seed="${2:-1}" '
function pick(n) { return int(rand() * n) }
function emit(text) { printf "%s%s", (first ? "" : ",\n"), text; first = 0 }
BEGIN {
    srand(seed)
    ntypes = split("110 120 130 210 220 230 240 310 320 330 450 460", types, " ")
    printf "{\n\"objects\": [\n"
    first = 1; objects = 0; folders = 0
    while (objects < total) {
        folders++
        parent = (folders == 1 || rand() < 0.1) ? 0 : 1 + pick(folders - 1)
        path[folders] = path[parent] "\\\\Folder " folders
        related = ""
        if (folders > 1 && rand() < 0.05) related = ", \"related\": [\"F" (1 + pick(folders - 1)) "\"]"
        emit("{\"id\": \"F" folders "\", \"name\": \"Folder " folders "\", \"type\": 8, \"folder\": \"" path[parent] "\"" related "}")
        objects++
        size = 10 + pick(191)
        for (i = 0; i < size && objects < total; i++) {
            objects++
            type = types[1 + pick(ntypes)]
            subtype = rand() < 0.1 ? 7000 + pick(10) : 0
            ids[objects] = "O" objects; kinds[objects] = type
            emit("{\"id\": \"O" objects "\", \"name\": \"Item " objects "\", \"type\": " type ", \"subtype\": " subtype ", \"folder\": \"" path[folders] "\"}")
        }
    }
    printf "\n],\n\"categories\": {\"450\": 4, \"460\": 4},\n\"rules\": {\n"
    printf "\"category\": [{\"category\": 1, \"action\": 2}, {\"category\": 4, \"action\": 3}],\n"
    printf "\"type\": ["
    first = 1
    for (t = 7000; t < 7010; t++) emit("{\"type\": " t ", \"action\": " (1 + pick(7)) "}")
    for (t = 2; t <= ntypes; t += 3) emit("{\"type\": " types[t] ", \"action\": " (1 + pick(7)) "}")
    printf "],\n\"object\": ["
    first = 1
    for (r = 0; r < 300; r++) {
        o = 1 + pick(objects)
        if (o in ids && !(o in ruled)) { ruled[o] = 1; emit("{\"id\": \"" ids[o] "\", \"type\": " kinds[o] ", \"action\": " (1 + pick(7)) "}") }
    }
    printf "],\n\"folder\": ["
    first = 1
    for (f = 1; f <= folders; f++) if (rand() < 0.1) emit("{\"path\": \"" path[f] "\", \"action\": " (1 + pick(7)) "}")
    printf "]\n},\n\"options\": {\"CopyACLOption\": 2, \"ResolutionMethod\": 1},\n"
    printf "\"logs\": [{\"file\": \"merge.log\", \"level\": 2}]\n}\n"
}'

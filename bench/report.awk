# Turns the benchmark lines (see kestra_bench.cpp, window_bench.cpp and the peers) into Markdown
# tables: times against their limits, Kestra against the Python peers, resident memory against
# the file's size, the window, and the slope of each operation's time against the number of
# values on a log-log scale.
BEGIN {
    FS = ","
    target["load"] = 1.5
    target["save"] = 1.5
    target["Save from the window"] = 1.5
    target["searchAllProperties 42"] = 2
    target["searchAllProperties Ember"] = 2
    toolSearch = "kestra-tool search --all (whole process)"
    target[toolSearch] = 2.5
    # The whole process's target, and the peer's, hold for the largest file; below, a process's
    # start-up outweighs its work.
    targetFrom[toolSearch] = 25000000
    # The other commands, whole processes, from 10^7 values on: below, the few milliseconds a
    # process takes to start and end outweigh reading the file (0.6 ms at 10^6 values).
    split("kestra-tool diff (one value differs)|kestra-tool validate|kestra-tool dump json|kestra-tool dump jsonl|kestra-tool dump csv|kestra-tool dump csv --exact|kestra-tool import (no cell changed)", commands, "|")
    for (c in commands) { target[commands[c]] = 2; targetFrom[commands[c]] = 10000000 }
    # Against the numpy peer: how many times faster the tool's whole search is at least.
    numpyTarget = 3
    # Memory: at most this many times the file's size, plus this many bytes.
    memoryFactor["resident after load"] = 1.3
    memorySlack["resident after load"] = 1048576
    memoryFactor["peak resident during load"] = 1.3
    memorySlack["peak resident during load"] = 67108864
    # The window, by figure and rows shown.
    windowTarget["Open to the item list's first paint", 1000000] = 0.5
    windowTarget["Open to the item list's first paint", 1250000] = 1
    windowTarget["double-click to the property list's first paint", 10000] = 0.02
    # Whatever the rows shown: an edit on the largest file, and the search that lists its items.
    split("Delete Item of row 0|Copy Item of row 0|New Item", edits, "|")
    for (e in edits) windowFigureTarget[edits[e] " to the item list's paint"] = 0.1
    windowFigureTarget["Apply to linked properties to the property list's paint"] = 0.1
    windowFigureTarget["Search listing the items found to their list's paint"] = 0.5
    # Below this many values fixed costs still show; the slope is fitted from here up.
    largeValues = 1000000
}

function seconds(s) { return s < 0.01 ? sprintf("%.3g ms", s * 1000) : sprintf("%.3f s", s) }
function megabytes(b) { return sprintf("%.1f MB", b / 1000000) }
function verdict(ratio, limit, atMost) {
    if (limit == "") return ""
    return (atMost ? ratio <= limit : ratio >= limit) ? " ok" : " **missed**"
}
function fastest(table, key, value) { if (!(key in table) || value < table[key]) table[key] = value }

$1 == "time" {
    if (!($2 in seen)) { seen[$2] = 1; operations[++operationCount] = $2 }
    sizes[$3] = 1
    time[$2, $3] = $4; limit[$2] = $5; limitTime[$2, $3] = $6
}
$1 == "peer" { sizes[$2] = 1; fastest(structPeer, $2, $3) }
$1 == "peer-numpy" { sizes[$2] = 1; fastest(numpyPeer, $2, $3) }
$1 == "found" { found[$2, $3] = $4 }
$1 == "check" { if ($4 != "yes") failedChecks = failedChecks sprintf("- %s at %s values: **no**\n", $2, $3) }
$1 == "window" { windowFigures[++windowCount] = $2; windowRows[windowCount] = $3; windowTime[windowCount] = $4 }
$1 == "memory" {
    if (!($2 in memorySeen)) { memorySeen[$2] = 1; memoryFigures[++memoryCount] = $2 }
    memoryValues[$2] = memoryValues[$2] " " $3; memory[$2, $3] = $4; fileBytes[$2, $3] = $5
}

function sortedSizes(    n, s, i, j, t) {
    n = 0
    for (s in sizes) ordered[++n] = s + 0
    for (i = 2; i <= n; ++i)
        for (j = i; j > 1 && ordered[j - 1] > ordered[j]; --j) { t = ordered[j]; ordered[j] = ordered[j - 1]; ordered[j - 1] = t }
    return n
}

# Least-squares slope of log(time) against log(values) over the sizes from `from` values up.
function slope(operation, from,    i, n, x, y, sx, sy, sxx, sxy) {
    n = 0; sx = sy = sxx = sxy = 0
    for (i = 1; i <= sizeCount; ++i) {
        if (ordered[i] < from || !((operation, ordered[i]) in time)) continue
        x = log(ordered[i]); y = log(time[operation, ordered[i]])
        ++n; sx += x; sy += y; sxx += x * x; sxy += x * y
    }
    return n < 2 ? "" : sprintf("%.2f", (n * sxy - sx * sy) / (n * sxx - sx * sx))
}

function peerRow(what, operation, n, peerTime, peerTarget,    speedup, goal) {
    if (!((operation, n) in time)) return
    speedup = peerTime / time[operation, n]
    goal = peerTarget == "" ? "" : sprintf("≥ %d×%s", peerTarget, verdict(speedup, peerTarget, 0))
    printf "| %s | %d | %s | %s | %.1f× | %s |\n", what, n, seconds(time[operation, n]), seconds(peerTime), speedup, goal
}

END {
    sizeCount = sortedSizes()
    print "| operation | values | time | limit | limit's time | ratio | target |"
    print "|---|---:|---:|---|---:|---:|---|"
    for (o = 1; o <= operationCount; ++o) {
        op = operations[o]
        for (i = 1; i <= sizeCount; ++i) {
            n = ordered[i]
            if (!((op, n) in time)) continue
            ratio = time[op, n] / limitTime[op, n]
            goal = op in target && n >= targetFrom[op] ? sprintf("≤ %g×%s", target[op], verdict(ratio, target[op], 1)) : ""
            printf "| %s | %d | %s | %s | %s | %.2f | %s |\n", op, n, seconds(time[op, n]), limit[op], seconds(limitTime[op, n]), ratio, goal
        }
    }

    print ""
    print "| against the Python peers | values | Kestra | peer | peer ÷ Kestra | target |"
    print "|---|---:|---:|---:|---:|---|"
    for (i = 1; i <= sizeCount; ++i) {
        n = ordered[i]
        if (n in structPeer) peerRow("load against `struct`", "load", n, structPeer[n], "")
        if (n in numpyPeer) peerRow("load against numpy", "load", n, numpyPeer[n], "")
        if (n in numpyPeer) peerRow("kestra-tool search against numpy", toolSearch, n, numpyPeer[n], n >= targetFrom[toolSearch] ? numpyTarget : "")
    }

    print ""
    print "| memory | values | file | resident | × file | target |"
    print "|---|---:|---:|---:|---:|---|"
    for (m = 1; m <= memoryCount; ++m) {
        figure = memoryFigures[m]
        split(memoryValues[figure], counts, " ")
        for (c = 1; c in counts; ++c) {
            bytes = memory[figure, counts[c]]; file = fileBytes[figure, counts[c]]
            allowed = memoryFactor[figure] * file + memorySlack[figure]
            goal = sprintf("≤ %g× + %d MiB%s", memoryFactor[figure], memorySlack[figure] / 1048576, verdict(bytes, allowed, 1))
            printf "| %s | %d | %s | %s | %.2f | %s |\n", figure, counts[c], megabytes(file), megabytes(bytes), bytes / file, goal
        }
    }

    if (windowCount) {
        print ""
        print "| window (headless) | rows shown | time | target |"
        print "|---|---:|---:|---|"
        for (w = 1; w <= windowCount; ++w) {
            key = windowFigures[w] SUBSEP windowRows[w]
            goalTime = key in windowTarget ? windowTarget[key] : windowFigureTarget[windowFigures[w]]
            goal = goalTime != "" ? sprintf("≤ %g s%s", goalTime, verdict(windowTime[w], goalTime, 1)) : ""
            printf "| %s | %d | %s | %s |\n", windowFigures[w], windowRows[w], seconds(windowTime[w]), goal
        }
    }

    print ""
    printf "| slope of time against values (log-log) | all sizes | from %d values |\n", largeValues
    print "|---|---:|---:|"
    for (o = 1; o <= operationCount; ++o)
        printf "| %s | %s | %s |\n", operations[o], slope(operations[o], 0), slope(operations[o], largeValues)
    for (i = 1; i <= sizeCount; ++i) {
        if (ordered[i] in structPeer) time["Python struct peer", ordered[i]] = structPeer[ordered[i]]
        if (ordered[i] in numpyPeer) time["Python numpy peer", ordered[i]] = numpyPeer[ordered[i]]
    }
    printf "| %s | %s | %s |\n", "Python struct peer", slope("Python struct peer", 0), slope("Python struct peer", largeValues)
    printf "| %s | %s | %s |\n", "Python numpy peer", slope("Python numpy peer", 0), slope("Python numpy peer", largeValues)

    if (failedChecks != "") { print ""; print "Failed checks:"; printf "%s", failedChecks }
}

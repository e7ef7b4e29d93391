# Turns the benchmark lines (see kestra_bench.cpp and peer_struct.py) into Markdown tables:
# times against their limits, load against the Python peer, resident memory, and the slope of
# each operation's time against the number of values on a log-log scale.
BEGIN {
    FS = ","
    target["load"] = 1.5
    target["save"] = 1.5
    target["load (malloc on huge pages)"] = 1.5
    target["save (malloc on huge pages)"] = 1.5
    target["searchAllProperties 42"] = 2
    target["searchAllProperties Ember"] = 2
    peerTarget = 100
    memoryTarget["resident per value after load"] = 64
    windowTarget["Open to the item list's first paint"] = 1.5
    windowTarget["Open to the item list's first paint (malloc on huge pages)"] = 1.5
    # Below this many values fixed costs still show; the slope is fitted from here up.
    largeValues = 1000000
}

function seconds(s) { return s < 0.01 ? sprintf("%.3g ms", s * 1000) : sprintf("%.3f s", s) }
function verdict(ratio, limit, atMost) {
    if (limit == "") return ""
    return (atMost ? ratio <= limit : ratio >= limit) ? " ok" : " **missed**"
}

$1 == "time" {
    if (!($2 in seen)) { seen[$2] = 1; operations[++operationCount] = $2 }
    sizes[$3] = 1
    time[$2, $3] = $4; limit[$2] = $5; limitTime[$2, $3] = $6
}
$1 == "peer" { sizes[$2] = 1; if (!($2 in peer) || $3 < peer[$2]) peer[$2] = $3 }
$1 == "found" { found[$2, $3] = $4 }
$1 == "check" { if ($4 != "yes") failedChecks = failedChecks sprintf("- %s at %s values: **no**\n", $2, $3) }
$1 == "window" { windowFigures[++windowCount] = $2; windowRows[windowCount] = $3; windowTime[windowCount] = $4 }
$1 == "memory" {
    if (!($2 in memorySeen)) { memorySeen[$2] = 1; memoryFigures[++memoryCount] = $2 }
    memoryCounts[$2] = memoryCounts[$2] " " $3; memory[$2, $3] = $4
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
            goal = op in target ? sprintf("≤ %g×%s", target[op], verdict(ratio, target[op], 1)) : ""
            printf "| %s | %d | %s | %s | %s | %.2f | %s |\n", op, n, seconds(time[op, n]), limit[op], seconds(limitTime[op, n]), ratio, goal
        }
    }

    print ""
    print "| load against the Python `struct` peer | values | Kestra load | peer | peer ÷ Kestra | target |"
    print "|---|---:|---:|---:|---:|---|"
    for (i = 1; i <= sizeCount; ++i) {
        n = ordered[i]
        if (!(n in peer) || !(("load", n) in time)) continue
        speedup = peer[n] / time["load", n]
        printf "| load | %d | %s | %s | %.1f× | ≥ %d×%s |\n", n, seconds(time["load", n]), seconds(peer[n]), speedup, peerTarget, verdict(speedup, peerTarget, 0)
    }

    print ""
    print "| memory | count | bytes each | target |"
    print "|---|---:|---:|---|"
    for (m = 1; m <= memoryCount; ++m) {
        figure = memoryFigures[m]
        split(memoryCounts[figure], counts, " ")
        for (c = 1; c in counts; ++c) {
            goal = figure in memoryTarget ? sprintf("≤ %d%s", memoryTarget[figure], verdict(memory[figure, counts[c]], memoryTarget[figure], 1)) : ""
            printf "| %s | %d | %.1f | %s |\n", figure, counts[c], memory[figure, counts[c]], goal
        }
    }

    if (windowCount) {
        print ""
        print "| window (headless) | rows shown | time | target |"
        print "|---|---:|---:|---|"
        for (w = 1; w <= windowCount; ++w) {
            figure = windowFigures[w]
            goal = figure in windowTarget ? sprintf("≤ %g s%s", windowTarget[figure], verdict(windowTime[w], windowTarget[figure], 1)) : ""
            printf "| %s | %d | %s | %s |\n", figure, windowRows[w], seconds(windowTime[w]), goal
        }
    }

    print ""
    printf "| slope of time against values (log-log) | all sizes | from %d values |\n", largeValues
    print "|---|---:|---:|"
    for (o = 1; o <= operationCount; ++o)
        printf "| %s | %s | %s |\n", operations[o], slope(operations[o], 0), slope(operations[o], largeValues)
    for (i = 1; i <= sizeCount; ++i) if (ordered[i] in peer) time["Python struct peer", ordered[i]] = peer[ordered[i]]
    printf "| %s | %s | %s |\n", "Python struct peer", slope("Python struct peer", 0), slope("Python struct peer", largeValues)

    if (failedChecks != "") { print ""; print "Failed checks:"; printf "%s", failedChecks }
}

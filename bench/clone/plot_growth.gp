# Time against output vertices for build_clones, the preview refresh, the command, the host-only
# baseline and one memcpy of the output, on log-log axes: a straight line of slope 1 is linear
# growth.
# Usage: gnuplot -e "csv='clone.csv'; png='docs/clone_growth.png'" bench/clone/plot_growth.gp
set datafile separator ','
set terminal pngcairo size 900,600 noenhanced
set output png
set logscale xy
set key top left
set grid
set xlabel 'output vertices (vertices x copies)'
set ylabel 'time per build (ms)'
set title 'Quorvel Clone: build time against output size (in-process stand-in host)'
plot csv using 3:4 skip 1 with linespoints pt 7 title 'build_clones', \
     csv using 3:7 skip 1 with linespoints pt 5 title 'preview refresh', \
     csv using 3:8 skip 1 with linespoints pt 11 title 'command (fresh object, preview off)', \
     csv using 3:5 skip 1 with linespoints pt 9 title 'host traffic only', \
     csv using 3:6 skip 1 with linespoints pt 13 title 'memcpy of output', \
     csv using 3:($3*2e-5) skip 1 with lines dt 2 lc 'gray' title 'linear: 20 ns per output vertex'

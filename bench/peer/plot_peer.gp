# ns per output vertex of a preview refresh against output vertices, ours and Blender's Array
# modifier, on log-log axes: a flat line is a cost per vertex that does not grow with the size.
# Usage: gnuplot -e "dat='plot.dat'; png='docs/peer_ns_per_vertex.png'" bench/peer/plot_peer.gp
set terminal pngcairo size 900,600 noenhanced
set output png
set logscale xy
set key bottom left
set grid
set yrange [1:10000]
set xlabel 'output vertices (mesh vertices x copies)'
set ylabel 'ns per output vertex'
set title 'Preview refresh on UV spheres: Quorvel Clone (stand-in host) and Blender Array modifier'
plot dat using 1:2:3:4 with yerrorlines pt 7 lc 'purple' title 'Blender, wall clock (median; bars: runs)', \
     dat using 1:8 with linespoints dt 2 pt 6 lc 'purple' title 'Blender, CPU time', \
     dat using 1:5:6:7 with yerrorlines pt 5 lc 'dark-green' title 'ours, wall clock (median; bars: runs)', \
     dat using 1:9 with linespoints dt 2 pt 4 lc 'dark-green' title 'ours, CPU time'

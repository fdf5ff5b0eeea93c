standard errors based on 5 bootstrap replicates

d (above diagonal), S.E. (below diagonal)
taxa	humans	apes	oldworld	
humans	-	-0.147 (<0.001)	-0.133 (insign.)	
apes	0.041 (6)	-	0.014 (insign.)	
oldworld	0.154 (4)	0.148 (6)	-	


ratio (above diagonal), 95% confidence interval (below diagonal)
taxa	humans	apes	oldworld	
humans	-	0.208 (0.149)	inf (-nan)	
apes	(-0.085-0.501)	-	inf (-nan)	
oldworld	(-nan--nan)	(-nan--nan)	-	

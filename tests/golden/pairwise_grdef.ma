standard errors based on 5 bootstrap replicates

d (above diagonal), S.E. (below diagonal)
taxa	humans	apes	oldworld	
humans	-	-0.147 (<0.001)	-0.188 (insign.)	
apes	0.041 (6)	-	-0.038 (insign.)	
oldworld	0.110 (4)	0.105 (6)	-	


ratio (above diagonal), 95% confidence interval (below diagonal)
taxa	humans	apes	oldworld	
humans	-	0.208 (0.149)	0.194 (0.215)	
apes	(-0.085-0.501)	-	0.984 (0.474)	
oldworld	(-0.227-0.616)	(0.055-1.914)	-	
